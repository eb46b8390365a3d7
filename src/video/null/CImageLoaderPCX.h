// CImageLoaderPCX: run-length PCX images. 8-bit single-plane images go through
// the 256-colour palette at the end of the file to opaque A1R5G5B5; three
// 8-bit planes (red, green, blue per scan line) and 24-bit interleaved
// blue-green-red pixels become R8G8B8.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderPCX : public CImageLoader
{
  public:
    CImageLoaderPCX();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
