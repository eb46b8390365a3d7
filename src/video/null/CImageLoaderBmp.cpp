#include "video/null/CImageLoaderBmp.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "video/null/CImage.h"
#include "video/null/LoaderSupport.h"

#include <algorithm>
#include <cstring>

using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;
using namespace kelvo::video::loader;

namespace kelvo::video
{

namespace
{
constexpr size_t kHeaderSize = 54;
}

CImageLoaderBmp::CImageLoaderBmp()
    : CImageLoader({".bmp", 0, "BM", kHeaderSize, "BMP file is too short"})
{
}

IImage* CImageLoaderBmp::decode(const char* name, const uint8_t* h, size_t size) const
{
    if (!((h[0] == 'B' && h[1] == 'M') || (h[0] == 'M' && h[1] == 'B'))) return nullptr;

    uint32_t dataOffset = zu::core::readLE32(h + 10);
    uint32_t infoSize = zu::core::readLE32(h + 14);
    int64_t width = int32_t(zu::core::readLE32(h + 18));
    int64_t height = int32_t(zu::core::readLE32(h + 22));
    uint16_t bits = zu::core::readLE16(h + 28);
    uint32_t compression = zu::core::readLE32(h + 30);
    uint64_t dataSize = zu::core::readLE32(h + 34);

    if (compression != 0)
    {
        zuLog(ELL_ERROR, "%s: Compressed BMPs are currently not supported.", name);
        return nullptr;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return nullptr;

    // A negative height marks rows stored top to bottom.
    bool topDown = height < 0;
    if (topDown) height = -height;
    int32_t outBytes = bits == 24 ? 3 : 2;
    if (width <= 0 || height <= 0 || !CImage::isSizeAcceptable(width, height, outBytes))
    {
        zuLog(ELL_ERROR, "%s: BMP has unusable dimensions %lldx%lld", name, (long long)width,
              (long long)height);
        return nullptr;
    }

    const uint64_t fileSize = size;
    dataSize = (dataSize + 3) / 4 * 4;
    if (dataSize == 0) dataSize = dataOffset < fileSize ? fileSize - dataOffset : 0;
    uint64_t available = dataOffset < fileSize ? fileSize - dataOffset : 0;
    if (dataSize > available) dataSize = available;
    const uint64_t rowBytes = (uint64_t(width) * bits + 31) / 32 * 4;
    // Rows the file does not hold stay cleared.
    uint64_t rowsPresent = dataSize / rowBytes;
    // A cut file still loads with its missing rows cleared, but rows short
    // of a 128th of the picture are damage, not a picture worth its memory.
    if (rowsPresent < uint64_t(height) / 128)
    {
        zuLog(ELL_ERROR, "%s: BMP data is far too short for its size", name);
        return nullptr;
    }
    if (rowsPresent < uint64_t(height))
        zuLog(ELL_ERROR, "%s: BMP pixel data ends early", name);
    else
        rowsPresent = uint64_t(height);

    // The palette sits between the information header and the pixels.
    uint64_t paletteStart = kHeaderSize;
    if (infoSize >= 40 && 14 + uint64_t(infoSize) <= dataOffset)
        paletteStart = 14 + uint64_t(infoSize);
    uint64_t paletteEnd = dataOffset < fileSize ? dataOffset : fileSize;
    uint32_t paletteCount = 0;
    uint32_t palette[256] = {};
    if (paletteEnd > paletteStart)
    {
        uint64_t count = (paletteEnd - paletteStart) / 4;
        paletteCount = uint32_t(count > 256 ? 256 : count);
        for (uint32_t i = 0; i < paletteCount; ++i)
            palette[i] = zu::core::readLE32(h + paletteStart + 4 * i) & 0x00FFFFFF;
    }
    auto paletteColor = [&](uint32_t index) -> uint16_t
    { return CImage::paletteToA1R5G5B5(index < paletteCount ? palette[index] : 0); };

    CImage* image =
        new CImage(bits == 24 ? ECF_R8G8B8 : ECF_A1R5G5B5, {int32_t(width), int32_t(height)});
    image->clear();
    uint8_t* out = static_cast<uint8_t*>(image->lock());
    const uint8_t* data = h + std::min<uint64_t>(dataOffset, fileSize);
    for (int64_t row = 0; row < int64_t(rowsPresent); ++row)
    {
        const uint8_t* in = data + uint64_t(row) * rowBytes;
        int64_t y = topDown ? row : height - 1 - row;
        uint8_t* line = out + uint64_t(y) * uint64_t(width) * uint64_t(outBytes);
        if (bits == 24)
        {
            swapRedBlue(in, line, width);
            continue;
        }
        uint16_t* line16 = reinterpret_cast<uint16_t*>(line);
        for (int64_t x = 0; x < width; ++x)
        {
            switch (bits)
            {
            case 1:
                line16[x] = (in[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFF : 0;
                break;
            case 4:
                line16[x] = paletteColor((in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F);
                break;
            default:
                line16[x] = paletteColor(in[x]);
                break;
            }
        }
    }
    return image;
}

} // namespace kelvo::video
