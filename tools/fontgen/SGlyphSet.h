// The glyphs a font is made from: one cell per character code, all cells as
// high as the font's line, each as wide as the character's advance, with a
// coverage value from 0 (empty) to 255 (full ink) per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace pellora::fontgen
{

struct SGlyph
{
    int32_t width = 0;
    std::vector<uint8_t> coverage; // width × line height, rows top first

    uint8_t at(int32_t x, int32_t y) const
    {
        return coverage[size_t(y) * size_t(width) + size_t(x)];
    }
};

struct SGlyphSet
{
    int32_t height = 0;
    // By character code.
    std::map<int32_t, SGlyph> glyphs;
};

} // namespace pellora::fontgen
