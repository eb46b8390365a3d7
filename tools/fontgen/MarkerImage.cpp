#include "MarkerImage.h"

#include <algorithm>
#include <fstream>

namespace pellora::fontgen
{

namespace
{

constexpr uint32_t kBackground = 0xFF000000;
constexpr uint32_t kUpperLeft = 0xFFFF0000;
constexpr uint32_t kLowerRight = 0xFF0000FF;

void put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        error = "cannot write " + path;
    return bool(out);
}

bool tryLayout(const std::vector<const SGlyph*>& order, int32_t lineHeight, int32_t size,
               SMarkerImage& out)
{
    out.width = out.height = size;
    out.marks.assign(size_t(size) * size_t(size), SMarkerImage::NONE);
    out.coverage.assign(out.marks.size(), 0);
    int32_t x = 0;
    int32_t y = 0;
    for (size_t i = 0; i < order.size(); ++i)
    {
        const SGlyph& glyph = *order[i];
        const int32_t w = i == 0 ? std::max<int32_t>(3, glyph.width) : glyph.width;
        // The lower-right marker must lie inside the image too.
        if (x + w >= size)
        {
            x = 0;
            y += lineHeight + 1;
        }
        if (x + w >= size || y + lineHeight >= size)
            return false;
        for (int32_t gy = 0; gy < lineHeight; ++gy)
            for (int32_t gx = 0; gx < glyph.width; ++gx)
                out.coverage[size_t(y + gy) * size_t(size) + size_t(x + gx)] = glyph.at(gx, gy);
        out.marks[size_t(y) * size_t(size) + size_t(x)] = SMarkerImage::UPPER_LEFT;
        out.marks[size_t(y + lineHeight) * size_t(size) + size_t(x + w)] =
            SMarkerImage::LOWER_RIGHT;
        x += w;
    }
    // The key pixels of the first row: the lower-right colour, then the
    // background, both inside the space.
    out.marks[1] = SMarkerImage::LOWER_RIGHT;
    out.coverage[1] = 0;
    out.coverage[2] = 0;
    return true;
}

} // namespace

bool layOutMarkerImage(const SGlyphSet& set, int32_t size, SMarkerImage& out, std::string& error)
{
    std::vector<const SGlyph*> order;
    auto printable = set.glyphs.lower_bound(32);
    if (printable == set.glyphs.end() || printable->first != 32)
    {
        error = "an image font starts with the space (code 32)";
        return false;
    }
    int32_t expected = 32;
    for (auto it = printable; it != set.glyphs.end(); ++it, ++expected)
    {
        if (it->first != expected)
        {
            error = "an image font has no gaps: code " + std::to_string(expected) + " is missing";
            return false;
        }
        order.push_back(&it->second);
    }
    for (auto it = set.glyphs.begin(); it != printable; ++it)
        order.push_back(&it->second);

    if (size > 0)
    {
        if (size >= 3 && tryLayout(order, set.height, size, out))
            return true;
        error = "the glyphs do not fit into " + std::to_string(size) + " x " +
                std::to_string(size) + " pixels";
        return false;
    }
    for (int32_t s = 32; s <= 4096; s *= 2)
        if (tryLayout(order, set.height, s, out))
            return true;
    error = "the glyphs do not fit into 4096 x 4096 pixels";
    return false;
}

bool writeMarkerTGA(const SMarkerImage& image, const std::string& path, std::string& error)
{
    std::string bytes;
    bytes += char(0); // no image id
    bytes += char(0); // no colour map
    bytes += char(2); // uncompressed true colour
    bytes.append(5, char(0));
    put16(bytes, 0);
    put16(bytes, 0);
    put16(bytes, uint32_t(image.width));
    put16(bytes, uint32_t(image.height));
    bytes += char(32);
    bytes += char(8); // 8 alpha bits, rows bottom first
    for (int32_t y = image.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < image.width; ++x)
        {
            const size_t i = size_t(y) * size_t(image.width) + size_t(x);
            uint32_t pixel = kBackground;
            if (image.marks[i] == SMarkerImage::UPPER_LEFT)
                pixel = kUpperLeft;
            else if (image.marks[i] == SMarkerImage::LOWER_RIGHT)
                pixel = kLowerRight;
            else if (image.coverage[i] != 0)
                pixel = uint32_t(image.coverage[i]) << 24 | 0x00FFFFFF;
            put32(bytes, pixel);
        }
    return writeFile(path, bytes, error);
}

bool writeMarkerBMP(const SMarkerImage& image, const std::string& path, std::string& error)
{
    const uint32_t rowBytes = (uint32_t(image.width) * 4 + 31) / 32 * 4;
    const uint32_t paletteBytes = 16 * 4;
    const uint32_t dataOffset = 14 + 40 + paletteBytes;
    const uint32_t dataSize = rowBytes * uint32_t(image.height);
    std::string bytes = "BM";
    put32(bytes, dataOffset + dataSize);
    put32(bytes, 0);
    put32(bytes, dataOffset);
    put32(bytes, 40);
    put32(bytes, uint32_t(image.width));
    put32(bytes, uint32_t(image.height));
    put16(bytes, 1);
    put16(bytes, 4);
    put32(bytes, 0); // uncompressed
    put32(bytes, dataSize);
    put32(bytes, 2835); // 72 dots per inch
    put32(bytes, 2835);
    put32(bytes, 16);
    put32(bytes, 0);
    // Palette: background, upper-left marker, lower-right marker, ink.
    const uint32_t palette[16] = {kBackground, kUpperLeft, kLowerRight, 0xFFFFFFFF};
    for (uint32_t colour : palette)
        put32(bytes, colour & 0x00FFFFFF);
    for (int32_t y = image.height - 1; y >= 0; --y)
    {
        std::string row(rowBytes, char(0));
        for (int32_t x = 0; x < image.width; ++x)
        {
            const size_t i = size_t(y) * size_t(image.width) + size_t(x);
            uint8_t index = 0;
            if (image.marks[i] != SMarkerImage::NONE)
                index = image.marks[i];
            else if (image.coverage[i] >= 128)
                index = 3;
            row[size_t(x) / 2] = char(row[size_t(x) / 2] | (x % 2 ? index : index << 4));
        }
        bytes += row;
    }
    return writeFile(path, bytes, error);
}

} // namespace pellora::fontgen
