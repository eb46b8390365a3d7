// Helpers of the GUI tests: a recording driver that also writes down every
// image draw it is asked for (the calls text drawing makes), and marker-pixel
// font textures built pixel by pixel.
#pragma once

#include "io/IoTestSupport.h"
#include "video/CRecordingDriver.h"

#include "video/ITexture.h"
#include "video/null/CImage.h"

#include <cstring>
#include <string>
#include <vector>

namespace guitest
{

struct SImageCall
{
    zu::video::ITexture* texture = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    zu::video::SRecti source;
    bool clipped = false;
    zu::video::SRecti clip;
    uint32_t color = 0;
    bool alphaChannel = false;
};

class CImageCallRecorder : public videotest::CRecordingDriver
{
public:
    CImageCallRecorder(zu::io::IFileSystem* fileSystem, zu::core::SDimension2i size)
        : CRecordingDriver(fileSystem, size)
    {
    }

    using CRecordingDriver::drawImage;
    void drawImage(zu::video::ITexture* texture, zu::video::SPosition2i position,
                   const zu::video::SRecti& sourceRect, const zu::video::SRecti* clipRect,
                   uint32_t color, bool useAlphaChannel) override
    {
        SImageCall call;
        call.texture = texture;
        call.x = position.x;
        call.y = position.y;
        call.source = sourceRect;
        call.clipped = clipRect != nullptr;
        if (clipRect)
            call.clip = *clipRect;
        call.color = color;
        call.alphaChannel = useAlphaChannel;
        calls.push_back(call);
        CRecordingDriver::drawImage(texture, position, sourceRect, clipRect, color,
                                    useAlphaChannel);
    }

    std::vector<SImageCall> calls;
};

// The colours of a marker texture in one pixel format.
struct SMarkerColors
{
    zu::video::ECOLOR_FORMAT format;
    uint32_t upperLeft, lowerRight, background, ink, transparent;
};

const SMarkerColors kMarkers32 = {
    zu::video::ECF_A8R8G8B8, 0xFFFF0000, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF, 0x00000000};
const SMarkerColors kMarkers16 = {zu::video::ECF_A1R5G5B5, 0xFC00, 0x801F, 0x8000, 0xFFFF, 0x0000};

// A texture image of background pixels in which glyph cells are placed.
class CMarkerPicture
{
public:
    CMarkerPicture(const SMarkerColors& colors, int32_t size) : m_colors(colors), m_size(size)
    {
        m_pixels.assign(size_t(size) * size_t(size), colors.background);
        set(1, 0, colors.lowerRight);
    }

    void set(int32_t x, int32_t y, uint32_t value) { m_pixels[size_t(y * m_size + x)] = value; }
    uint32_t get(int32_t x, int32_t y) const { return m_pixels[size_t(y * m_size + x)]; }

    // Lays out glyphs of the given widths and height in rows, as the font
    // tool does, with one ink pixel in the middle of each; the lower-right
    // markers of the glyphs listed in `open` are left out. Returns the cells.
    std::vector<zu::video::SRecti> layOut(const std::vector<int32_t>& widths, int32_t height,
                                          const std::vector<size_t>& open = {})
    {
        std::vector<zu::video::SRecti> cells;
        int32_t x = 0, y = 0;
        for (size_t i = 0; i < widths.size(); ++i)
        {
            const int32_t w = widths[i];
            if (x + w >= m_size)
            {
                x = 0;
                y += height + 1;
            }
            set(x, y, m_colors.upperLeft);
            bool closed = true;
            for (size_t o : open)
                closed = closed && o != i;
            if (closed)
                set(x + w, y + height, m_colors.lowerRight);
            if (w > 2 && height > 2)
                set(x + w / 2, y + height / 2, m_colors.ink);
            cells.push_back({x, y, x + w, y + height});
            x += w;
        }
        return cells;
    }

    // Writes a 32-bit picture as an uncompressed TGA file.
    void saveTGA(const std::string& path) const
    {
        std::string bytes(18, '\0');
        bytes[2] = 2;
        bytes[12] = char(m_size & 0xFF);
        bytes[13] = char(m_size >> 8);
        bytes[14] = char(m_size & 0xFF);
        bytes[15] = char(m_size >> 8);
        bytes[16] = 32;
        bytes[17] = 8;
        for (int32_t y = m_size - 1; y >= 0; --y)
            for (int32_t x = 0; x < m_size; ++x)
            {
                const uint32_t p = get(x, y);
                bytes.append(reinterpret_cast<const char*>(&p), 4); // little-endian BGRA
            }
        iotest::writeDiskFile(path, bytes);
    }

    // Adds the picture to the driver's texture cache.
    zu::video::ITexture* addTo(zu::video::IVideoDriver* driver, const char* name) const
    {
        auto* image = new kelvo::video::CImage(m_colors.format, {m_size, m_size});
        uint8_t* out = static_cast<uint8_t*>(image->lock());
        const size_t bytes = m_colors.format == zu::video::ECF_A8R8G8B8 ? 4 : 2;
        for (size_t i = 0; i < m_pixels.size(); ++i)
        {
            const uint32_t p = m_pixels[i];
            std::memcpy(out + i * bytes, &p, bytes); // little-endian
        }
        zu::video::ITexture* texture = driver->addTexture(image, name);
        image->drop();
        return texture;
    }

private:
    SMarkerColors m_colors;
    int32_t m_size;
    std::vector<uint32_t> m_pixels;
};

// A pixel of a texture as a 32-bit value (16-bit formats in the low half).
inline uint32_t texturePixel(zu::video::ITexture* texture, int32_t x, int32_t y)
{
    const uint8_t* pixels = static_cast<const uint8_t*>(texture->lock());
    const size_t bytes = texture->getColorFormat() == zu::video::ECF_A8R8G8B8 ? 4 : 2;
    uint32_t value = 0;
    std::memcpy(&value, pixels + size_t(y) * size_t(texture->getPitch()) + size_t(x) * bytes,
                bytes);
    texture->unlock();
    return value;
}

} // namespace guitest
