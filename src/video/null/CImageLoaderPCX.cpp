#include "video/null/CImageLoaderPCX.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "video/null/CImage.h"
#include "video/null/LoaderSupport.h"

#include <cstring>
#include <vector>

using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;
using namespace kelvo::video::loader;

namespace kelvo::video
{

namespace
{
constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteBlock = 769; // the marker byte 12 and 256 RGB entries
} // namespace

CImageLoaderPCX::CImageLoaderPCX()
    : CImageLoader({".pcx", 0, "\x0A", kHeaderSize, "PCX file is too short"})
{
}

IImage* CImageLoaderPCX::decode(const char* name, const uint8_t* h, size_t size) const
{
    if (h[0] != 10 && h[2] != 1) return nullptr;
    const uint32_t bits = h[3];
    if (bits < 8 || bits > 24)
    {
        zuLog(ELL_ERROR, "%s: Unsupported bits per pixel in PCX file.", name);
        return nullptr;
    }
    const uint32_t planes = h[65];
    const size_t bytesPerLine = zu::core::readLE16(h + 66);
    const bool paletted = bits == 8 && planes == 1;
    const bool planar = bits == 8 && planes == 3;
    const bool interleaved = bits == 24 && planes == 1;

    // True-colour planes need no palette; everything else is checked for it.
    uint32_t palette[256] = {};
    size_t dataEnd = size;
    if (!planar)
    {
        if (size < kHeaderSize + kPaletteBlock || h[size - kPaletteBlock] != 12)
        {
            zuLog(ELL_ERROR, "%s: Unsupported pal indicator in PCX file.", name);
            return nullptr;
        }
        const uint8_t* entries = h + size - kPaletteBlock + 1;
        for (int i = 0; i < 256; ++i)
            palette[i] = uint32_t(entries[3 * i]) << 16 | uint32_t(entries[3 * i + 1]) << 8 |
                         entries[3 * i + 2];
        dataEnd = size - kPaletteBlock;
    }

    const int32_t width = int32_t(zu::core::readLE16(h + 8)) - int32_t(zu::core::readLE16(h + 4)) + 1;
    const int32_t height = int32_t(zu::core::readLE16(h + 10)) - int32_t(zu::core::readLE16(h + 6)) + 1;
    if (!paletted && !planar && !interleaved) return nullptr;
    const int32_t outBytes = paletted ? 2 : 3;
    // Each plane's scan line must hold the row's samples.
    const size_t samplesPerPlane = size_t(width) * (interleaved ? 3 : 1);
    if (width <= 0 || height <= 0 || !CImage::isSizeAcceptable(width, height, outBytes) ||
        bytesPerLine < samplesPerPlane ||
        uint64_t(bytesPerLine) * planes * uint64_t(height) > CImage::MAX_BYTES)
    {
        zuLog(ELL_ERROR, "%s: PCX has unusable dimensions", name);
        return nullptr;
    }

    // Run-length decoding of every scan line; what the file lacks stays 0.
    const size_t lineBytes = bytesPerLine * planes;
    const size_t total = lineBytes * size_t(height);
    // Two bytes give at most 63: a size the data can't come near is damage.
    if (total / 63 > (dataEnd - kHeaderSize) / 2 + 1)
    {
        zuLog(ELL_ERROR, "%s: PCX data is far too short for its size", name);
        return nullptr;
    }
    std::vector<uint8_t> decoded(total, 0);
    size_t produced = 0;
    size_t pos = kHeaderSize;
    while (produced < total && pos < dataEnd)
    {
        uint8_t b = h[pos++];
        size_t count = 1;
        if (b > 191)
        {
            count = b & 0x3F;
            if (pos >= dataEnd) break;
            b = h[pos++];
        }
        if (count > total - produced) count = total - produced;
        memset(&decoded[produced], b, count);
        produced += count;
    }
    if (produced < total) zuLog(ELL_ERROR, "%s: PCX pixel data ends early", name);

    CImage* image = new CImage(paletted ? ECF_A1R5G5B5 : ECF_R8G8B8, {width, height});
    uint8_t* out = static_cast<uint8_t*>(image->lock());
    for (int32_t y = 0; y < height; ++y)
    {
        const uint8_t* line = decoded.data() + size_t(y) * lineBytes;
        if (paletted)
        {
            uint16_t* row = reinterpret_cast<uint16_t*>(out) + size_t(y) * size_t(width);
            for (int32_t x = 0; x < width; ++x)
                row[x] = CImage::paletteToA1R5G5B5(palette[line[x]]);
        }
        else if (planar)
        {
            uint8_t* row = out + size_t(y) * size_t(width) * 3;
            for (int32_t x = 0; x < width; ++x)
                for (size_t c = 0; c < 3; ++c)
                    row[size_t(x) * 3 + c] = line[c * bytesPerLine + size_t(x)];
        }
        else
        {
            // Interleaved 24-bit files store their rows bottom first.
            swapRedBlue(line, out + size_t(height - 1 - y) * size_t(width) * 3, width);
        }
    }
    return image;
}

} // namespace kelvo::video
