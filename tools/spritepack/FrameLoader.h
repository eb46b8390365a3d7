// Reads a frame picture from disk as RGBA pixels: PNG through libpng, TGA
// through the runtime's own Targa loader (rows in the order the file's header
// gives).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellora::spritepack
{

struct SRgbaImage
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgba; // rows top first
};

// False with a reason when the file cannot be read or is neither format.
bool loadFrame(const std::string& path, SRgbaImage& image, std::string& error);

// Whether the file name ends in .png or .tga (any case).
bool isFrameFileName(const std::string& name);

} // namespace pellora::spritepack
