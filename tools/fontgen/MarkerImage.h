// The marker-pixel layout of image fonts and its two file forms. Glyph cells
// are laid out in rows; the upper-left pixel of a cell holds the upper-left
// marker, the pixel diagonally past its lower-right corner the lower-right
// marker, and every row of cells is followed by the row of its lower-right
// markers. Pixel (0,0) is the first glyph's upper-left marker, (1,0) shows
// the lower-right marker colour and (2,0) the background colour, which is
// why the first glyph (the space) is at least 3 pixels wide.
#pragma once

#include "SGlyphSet.h"

#include <string>

namespace pellora::fontgen
{

struct SMarkerImage
{
    enum EMark : uint8_t
    {
        NONE = 0,
        UPPER_LEFT = 1,
        LOWER_RIGHT = 2
    };

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> marks;    // EMark per pixel
    std::vector<uint8_t> coverage; // ink per pixel where there is no mark
};

// Lays out the codes from 32 upward (glyph i draws code 32 + i, so they must
// follow each other without a gap), then the codes below 32 in ascending
// order: the symbols only the built-in font draws. Size 0 picks the smallest
// square power of two that holds everything. False with a message when the
// glyphs do not fit or a code is missing.
bool layOutMarkerImage(const SGlyphSet& set, int32_t size, SMarkerImage& out, std::string& error);

// 32-bit TGA: white ink whose alpha is the coverage.
bool writeMarkerTGA(const SMarkerImage& image, const std::string& path, std::string& error);
// 4-bit BMP with a 16-entry palette: white ink where the coverage is at least
// half, nothing else.
bool writeMarkerBMP(const SMarkerImage& image, const std::string& path, std::string& error);

} // namespace pellora::fontgen
