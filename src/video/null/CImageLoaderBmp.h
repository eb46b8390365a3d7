// CImageLoaderBmp: uncompressed Windows bitmaps of 1, 4, 8 and 24 bits per
// pixel. 1-bit pixels become white or transparent black, 4- and 8-bit pixels
// go through the palette to opaque A1R5G5B5, 24-bit pixels become R8G8B8.
#pragma once

#include "video/IImageLoader.h"

namespace kelvo::video
{

class CImageLoaderBmp : public zu::video::IImageLoader
{
public:
    bool acceptsName(const zu::core::CString& fileName) const override;
    bool acceptsContent(zu::io::IReadFile* file) const override;
    zu::video::IImage* load(zu::io::IReadFile* file) const override;
};

} // namespace kelvo::video
