// CImageLoaderPCX: run-length PCX images. 8-bit single-plane images go through
// the 256-colour palette at the end of the file to opaque A1R5G5B5; three
// 8-bit planes (red, green, blue per scan line) and 24-bit interleaved
// blue-green-red pixels become R8G8B8.
#pragma once

#include "video/IImageLoader.h"

namespace kelvo::video
{

class CImageLoaderPCX : public zu::video::IImageLoader
{
public:
    bool acceptsName(const zu::core::CString& fileName) const override;
    bool acceptsContent(zu::io::IReadFile* file) const override;
    zu::video::IImage* load(zu::io::IReadFile* file) const override;
};

} // namespace kelvo::video
