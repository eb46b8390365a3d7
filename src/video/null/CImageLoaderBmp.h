// CImageLoaderBmp: uncompressed Windows bitmaps of 1, 4, 8 and 24 bits per
// pixel. 1-bit pixels become white or transparent black, 4- and 8-bit pixels
// go through the palette to opaque A1R5G5B5, 24-bit pixels become R8G8B8.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderBmp : public CImageLoader
{
  public:
    CImageLoaderBmp();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
