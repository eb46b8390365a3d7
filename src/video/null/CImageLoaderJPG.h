// CImageLoaderJPG: JPEG images through libjpeg, decoded from memory to R8G8B8.
// Greyscale images are expanded to RGB; CMYK images are refused. Every
// library error, truncated data included, is logged and yields no image.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderJPG : public CImageLoader
{
  public:
    CImageLoaderJPG();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
