// CImageLoaderTGA: true-colour Targa images, raw (type 2) or run-length
// encoded (type 10), of 16, 24 or 32 bits per pixel. Rows are taken bottom to
// top.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderTGA : public CImageLoader
{
  public:
    CImageLoaderTGA();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
