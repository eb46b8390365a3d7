// CImageLoaderTGA: true-colour Targa images, raw (type 2) or run-length
// encoded (type 10), of 16, 24 or 32 bits per pixel. Rows are taken bottom to
// top.
#pragma once

#include "video/IImageLoader.h"

namespace kelvo::video
{

class CImageLoaderTGA : public zu::video::IImageLoader
{
public:
    bool acceptsName(const zu::core::CString& fileName) const override;
    bool acceptsContent(zu::io::IReadFile* file) const override;
    zu::video::IImage* load(zu::io::IReadFile* file) const override;
};

} // namespace kelvo::video
