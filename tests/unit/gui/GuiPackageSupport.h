// Sprite packages for the GUI tests, made with the sprite writer: fonts,
// skins and icons of plain coloured single-frame animations.
#pragma once

#include "CSpriteWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace guitest
{

struct SPackImage
{
    const char* name;
    int32_t width, height;
    uint32_t rgba = 0xFFFFFFFF; // bytes r, g, b, a from the lowest
};

// Writes a package of single-frame animations of the given sizes, each
// filled with its colour.
inline std::string writePackage(const std::string& path, const std::vector<SPackImage>& images)
{
    pellora::spritepack::CSpriteWriter writer;
    writer.setTrim(false);
    for (const SPackImage& image : images)
    {
        std::vector<uint8_t> rgba(size_t(image.width * image.height) * 4);
        for (size_t i = 0; i < rgba.size(); i += 4)
            std::memcpy(&rgba[i], &image.rgba, 4);
        const int id = writer.addImage(rgba.data(), image.width, image.height, 0, 0);
        writer.addAnimation(image.name, {{id, -1, 1}});
    }
    std::string error;
    EXPECT_TRUE(writer.writeFile(path, 4, error)) << error;
    return path;
}

} // namespace guitest
