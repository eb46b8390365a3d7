// CImageLoaderPSD: flattened Photoshop images, 8 bits per channel in RGB mode,
// raw or PackBits-compressed. The result is A8R8G8B8; a fourth channel, when
// the file has exactly four, is the alpha, otherwise pixels are opaque.
#pragma once

#include "video/IImageLoader.h"

namespace kelvo::video
{

class CImageLoaderPSD : public zu::video::IImageLoader
{
public:
    bool acceptsName(const zu::core::CString& fileName) const override;
    bool acceptsContent(zu::io::IReadFile* file) const override;
    zu::video::IImage* load(zu::io::IReadFile* file) const override;
};

} // namespace kelvo::video
