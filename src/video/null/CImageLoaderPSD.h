// CImageLoaderPSD: flattened Photoshop images, 8 bits per channel in RGB mode,
// raw or PackBits-compressed. The result is A8R8G8B8; a fourth channel, when
// the file has exactly four, is the alpha, otherwise pixels are opaque.
#pragma once

#include "video/null/CImageLoader.h"

namespace kelvo::video
{

class CImageLoaderPSD : public CImageLoader
{
  public:
    CImageLoaderPSD();

  protected:
    zu::video::IImage* decode(const char* name, const uint8_t* bytes, size_t size) const override;
};

} // namespace kelvo::video
