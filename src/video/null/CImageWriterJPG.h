// CImageWriterJPG: compresses rows of 8-bit RGB pixels into a JPEG file with
// libjpeg. Used for screenshots. A library error is logged and reported as a
// failed write; it never ends the process.
#pragma once

#include <cstdint>

namespace zu::io
{
class IWriteFile;
}

namespace kelvo::video
{

class CImageWriterJPG
{
public:
    // Rows top first, width x 3 bytes each. Quality 100 makes every quantizer 1.
    static bool writeImage(zu::io::IWriteFile* file, const uint8_t* rgbRows, int32_t width,
                           int32_t height, int quality = 100);
};

} // namespace kelvo::video
