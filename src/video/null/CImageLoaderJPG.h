// CImageLoaderJPG: JPEG images through libjpeg, decoded from memory to R8G8B8.
// Greyscale images are expanded to RGB; CMYK images are refused. Every
// library error, truncated data included, is logged and yields no image.
#pragma once

#include "video/IImageLoader.h"

namespace kelvo::video
{

class CImageLoaderJPG : public zu::video::IImageLoader
{
public:
    bool acceptsName(const zu::core::CString& fileName) const override;
    bool acceptsContent(zu::io::IReadFile* file) const override;
    zu::video::IImage* load(zu::io::IReadFile* file) const override;
};

} // namespace kelvo::video
