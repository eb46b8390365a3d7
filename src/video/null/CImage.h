// CImage: the one image class. Pixel memory is owned, rows top to bottom
// without padding, in one of the four colour formats. Sizes are limited so that
// no byte count can overflow: an image that would pass the limit is made empty
// (0 x 0) and logged.
#pragma once

#include "video/IImage.h"

namespace kelvo::video
{

class CImage : public zu::video::IImage
{
public:
    // Largest width or height, and largest pixel memory, an image may have.
    static constexpr int32_t MAX_DIMENSION = 32768;
    static constexpr uint32_t MAX_BYTES = 256u << 20;

    // Pixels allocated, not cleared.
    CImage(zu::video::ECOLOR_FORMAT format, zu::core::SDimension2i size);
    // Adopts data, which must come from new uint8_t[].
    CImage(zu::video::ECOLOR_FORMAT format, zu::core::SDimension2i size, uint8_t* data);
    // A copy of the source in the given format.
    CImage(zu::video::ECOLOR_FORMAT format, const zu::video::IImage* source);
    // The rectangle of `size` at `position` of the source, in the source's
    // format; parts outside the source are cleared.
    CImage(int32_t x, int32_t y, const zu::video::IImage* source, zu::core::SDimension2i size);
    ~CImage() override;

    void* lock() override { return m_data; }
    void unlock() override {}
    zu::core::SDimension2i getSize() const override { return m_size; }
    int32_t getBitsPerPixel() const override { return m_bitsPerPixel; }
    int32_t getBytesPerPixel() const override { return m_bytesPerPixel; }
    uint32_t getByteCount() const override;
    uint32_t getPixelCount() const override;
    uint32_t getPixel(int32_t x, int32_t y) const override;
    zu::video::ECOLOR_FORMAT getColorFormat() const override { return m_colorFormat; }
    uint32_t getRedMask() const override { return m_redMask; }
    uint32_t getGreenMask() const override { return m_greenMask; }
    uint32_t getBlueMask() const override { return m_blueMask; }
    uint32_t getAlphaMask() const override { return m_alphaMask; }

    // Nearest-neighbour scaling of an A1R5G5B5 image.
    void resize(zu::core::SDimension2i size);
    // Sets every pixel byte to zero.
    void clear();

    // Whether an image of this size and depth stays within the limits.
    static bool isSizeAcceptable(int64_t width, int64_t height, int32_t bytesPerPixel);
    static int32_t bitsPerPixelOf(zu::video::ECOLOR_FORMAT format);
    // ARGB to A1R5G5B5: bit 15 set for any non-zero alpha.
    // One pixel of memory in the given format as A8R8G8B8.
    static uint32_t decodePixel(const uint8_t* p, zu::video::ECOLOR_FORMAT format);
    static uint16_t toA1R5G5B5(uint32_t argb);
    // A 0x00RRGGBB palette entry to an opaque A1R5G5B5 pixel.
    static uint16_t paletteToA1R5G5B5(uint32_t rgb) { return uint16_t(0x8000 | toA1R5G5B5(rgb)); }

private:
    void setFormat(zu::video::ECOLOR_FORMAT format);
    void allocate(zu::core::SDimension2i size);

    uint8_t* m_data = nullptr;
    zu::core::SDimension2i m_size;
    int32_t m_bitsPerPixel = 0;
    int32_t m_bytesPerPixel = 0;
    zu::video::ECOLOR_FORMAT m_colorFormat = zu::video::ECF_A8R8G8B8;
    uint32_t m_redMask = 0;
    uint32_t m_greenMask = 0;
    uint32_t m_blueMask = 0;
    uint32_t m_alphaMask = 0;
};

} // namespace kelvo::video
