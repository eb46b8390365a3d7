// CImageLoaderPNG: PNG images of every colour type (grey, palette, RGB, with
// or without alpha, 8 or 16 bits, interlaced or not), decoded by libpng to
// A8R8G8B8. libpng's errors end the decoding, never the process.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderPNG : public CImageLoader
{
  public:
    CImageLoaderPNG();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
