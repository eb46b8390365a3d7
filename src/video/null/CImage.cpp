#include "video/null/CImage.h"

#include "core/Output.h"

#include <cstring>

using zu::core::ELL_ERROR;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

CImage::CImage(ECOLOR_FORMAT format, SDimension2i size)
{
    setFormat(format);
    allocate(size);
}

CImage::CImage(ECOLOR_FORMAT format, SDimension2i size, uint8_t* data)
{
    setFormat(format);
    if (isSizeAcceptable(size.width, size.height, m_bytesPerPixel))
    {
        m_size = size;
        m_data = data;
    }
    else
    {
        zuLog(ELL_ERROR, "CImage: size %dx%d is too large.", size.width, size.height);
        delete[] data;
    }
}

CImage::CImage(ECOLOR_FORMAT format, const IImage* source)
{
    setFormat(format);
    if (!ZU_CHECK(source))
        return;
    allocate(source->getSize());
    if (!m_data)
        return;
    if (format == source->getColorFormat())
    {
        // An empty source has no pixel memory at all.
        if (const void* from = const_cast<IImage*>(source)->lock())
            memcpy(m_data, from, getByteCount());
    }
    else if (format == ECF_A1R5G5B5)
    {
        uint16_t* out = reinterpret_cast<uint16_t*>(m_data);
        for (int32_t y = 0; y < m_size.height; ++y)
            for (int32_t x = 0; x < m_size.width; ++x)
                *out++ = toA1R5G5B5(source->getPixel(x, y));
    }
    else
    {
        zuLog(ELL_ERROR, "CImage: Unsupported format to copy from.");
    }
}

CImage::CImage(int32_t x, int32_t y, const IImage* source, SDimension2i size)
{
    if (!ZU_CHECK(source))
        return;
    setFormat(source->getColorFormat());
    allocate(size);
    if (!m_data)
        return;
    clear();
    const uint8_t* from = static_cast<const uint8_t*>(const_cast<IImage*>(source)->lock());
    SDimension2i sourceSize = source->getSize();
    // Only the part that lies inside the source is copied.
    int32_t x0 = x < 0 ? 0 : x;
    int32_t y0 = y < 0 ? 0 : y;
    int64_t x1 = int64_t(x) + m_size.width;
    int64_t y1 = int64_t(y) + m_size.height;
    if (x1 > sourceSize.width)
        x1 = sourceSize.width;
    if (y1 > sourceSize.height)
        y1 = sourceSize.height;
    if (!from || x0 >= x1 || y0 >= y1)
        return;
    size_t rowBytes = size_t(x1 - x0) * size_t(m_bytesPerPixel);
    for (int64_t row = y0; row < y1; ++row)
    {
        const uint8_t* src = from + (size_t(row) * size_t(sourceSize.width) + size_t(x0)) *
                                        size_t(m_bytesPerPixel);
        uint8_t* dst = m_data + (size_t(row - y) * size_t(m_size.width) + size_t(x0 - x)) *
                                    size_t(m_bytesPerPixel);
        memcpy(dst, src, rowBytes);
    }
}

CImage::~CImage() { delete[] m_data; }

int32_t CImage::bitsPerPixelOf(ECOLOR_FORMAT format)
{
    switch (format)
    {
    case ECF_A1R5G5B5:
    case ECF_R5G6B5:
        return 16;
    case ECF_R8G8B8:
        return 24;
    case ECF_A8R8G8B8:
        return 32;
    }
    return 0;
}

void CImage::setFormat(ECOLOR_FORMAT format)
{
    m_colorFormat = format;
    switch (format)
    {
    case ECF_A1R5G5B5:
        m_redMask = 0x7C00, m_greenMask = 0x03E0, m_blueMask = 0x001F, m_alphaMask = 0x8000;
        break;
    case ECF_R5G6B5:
        m_redMask = 0xF800, m_greenMask = 0x07E0, m_blueMask = 0x001F, m_alphaMask = 0;
        break;
    case ECF_R8G8B8:
        m_redMask = 0xFF0000, m_greenMask = 0xFF00, m_blueMask = 0xFF, m_alphaMask = 0;
        break;
    case ECF_A8R8G8B8:
        m_redMask = 0xFF0000, m_greenMask = 0xFF00, m_blueMask = 0xFF, m_alphaMask = 0xFF000000;
        break;
    default:
        zuLog(ELL_ERROR, "CImage: Unknown color format.");
        break;
    }
    m_bitsPerPixel = bitsPerPixelOf(format);
    m_bytesPerPixel = m_bitsPerPixel / 8;
}

bool CImage::isSizeAcceptable(int64_t width, int64_t height, int32_t bytesPerPixel)
{
    if (width < 0 || height < 0 || width > MAX_DIMENSION || height > MAX_DIMENSION ||
        bytesPerPixel < 0)
        return false;
    return uint64_t(width) * uint64_t(height) * uint64_t(bytesPerPixel) <= MAX_BYTES;
}

void CImage::allocate(SDimension2i size)
{
    if (!isSizeAcceptable(size.width, size.height, m_bytesPerPixel))
    {
        zuLog(ELL_ERROR, "CImage: size %dx%d is too large.", size.width, size.height);
        return;
    }
    m_size = size;
    size_t bytes = getByteCount();
    // A zero-sized image still gets memory, so lock never hands out null.
    m_data = new uint8_t[bytes ? bytes : 1];
}

uint32_t CImage::getByteCount() const
{
    return uint32_t(m_bytesPerPixel) * uint32_t(m_size.width) * uint32_t(m_size.height);
}

uint32_t CImage::getPixelCount() const { return uint32_t(m_size.width) * uint32_t(m_size.height); }

uint32_t CImage::getPixel(int32_t x, int32_t y) const
{
    // R5G6B5 images read as 0 here; textures of that format still decode.
    if (!m_data || x < 0 || y < 0 || x >= m_size.width || y >= m_size.height ||
        m_colorFormat == ECF_R5G6B5)
        return 0;
    const size_t at = size_t(y) * size_t(m_size.width) + size_t(x);
    return decodePixel(m_data + at * size_t(m_bytesPerPixel), m_colorFormat);
}

uint32_t CImage::decodePixel(const uint8_t* p, ECOLOR_FORMAT format)
{
    switch (format)
    {
    case ECF_A1R5G5B5:
    {
        uint16_t v;
        memcpy(&v, p, 2);
        return ((v & 0x8000) ? 0xFF000000u : 0) | uint32_t((v >> 10) & 0x1F) << 19 |
               uint32_t((v >> 5) & 0x1F) << 11 | uint32_t(v & 0x1F) << 3;
    }
    case ECF_R5G6B5:
    {
        uint16_t v;
        memcpy(&v, p, 2);
        return 0xFF000000u | uint32_t(v >> 11) << 19 | uint32_t((v >> 5) & 0x3F) << 10 |
               uint32_t(v & 0x1F) << 3;
    }
    case ECF_R8G8B8:
        return 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    case ECF_A8R8G8B8:
    {
        uint32_t v;
        memcpy(&v, p, 4);
        return v;
    }
    }
    return 0;
}

uint16_t CImage::toA1R5G5B5(uint32_t argb)
{
    return uint16_t((argb > 0x00FFFFFF ? 0x8000 : 0) | ((argb >> 19) & 0x1F) << 10 |
                    ((argb >> 11) & 0x1F) << 5 | ((argb >> 3) & 0x1F));
}

void CImage::resize(SDimension2i size)
{
    if (m_colorFormat != ECF_A1R5G5B5)
    {
        zuLog(ELL_ERROR, "CImage is not A1R5G5B5");
        return;
    }
    if (size.width <= 0 || size.height <= 0 || !isSizeAcceptable(size.width, size.height, 2) ||
        m_size.width <= 0 || m_size.height <= 0)
        return;
    uint8_t* bytes = new uint8_t[size_t(size.width) * size_t(size.height) * 2];
    uint16_t* out = reinterpret_cast<uint16_t*>(bytes);
    const uint16_t* in = reinterpret_cast<const uint16_t*>(m_data);
    for (int32_t y = 0; y < size.height; ++y)
        for (int32_t x = 0; x < size.width; ++x)
        {
            int64_t sx = int64_t(x) * m_size.width / size.width;
            int64_t sy = int64_t(y) * m_size.height / size.height;
            out[size_t(y) * size_t(size.width) + size_t(x)] =
                in[size_t(sy) * size_t(m_size.width) + size_t(sx)];
        }
    delete[] m_data;
    m_data = bytes;
    m_size = size;
}

void CImage::clear()
{
    if (m_data)
        memset(m_data, 0, getByteCount());
}

} // namespace kelvo::video
