#include "video/null/CImageLoaderTGA.h"

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
constexpr size_t kHeaderSize = 18;
}

CImageLoaderTGA::CImageLoaderTGA()
    : CImageLoader({".tga", 2, "\x02", kHeaderSize, "TGA file is too short"})
{
}

IImage* CImageLoaderTGA::decode(const char* name, const uint8_t* h, size_t size) const
{
    uint8_t idLength = h[0];
    uint8_t colorMapType = h[1];
    uint8_t imageType = h[2];
    uint32_t colorMapLength = zu::core::readLE16(h + 5);
    uint32_t colorMapEntryBits = h[7];
    int32_t width = zu::core::readLE16(h + 12);
    int32_t height = zu::core::readLE16(h + 14);
    int32_t depth = h[16];

    size_t pos = kHeaderSize + idLength;
    if (colorMapType != 0) pos += colorMapLength * colorMapEntryBits / 8;

    if (imageType != 2 && imageType != 10)
    {
        zuLog(ELL_ERROR, "%s: Unsupported TGA file type", name);
        return nullptr;
    }
    if (depth != 16 && depth != 24 && depth != 32)
    {
        zuLog(ELL_ERROR, "%s: Unsupported TGA format, 8 bit", name);
        return nullptr;
    }
    const size_t bpp = size_t(depth / 8);
    if (!CImage::isSizeAcceptable(width, height, int32_t(bpp)))
    {
        zuLog(ELL_ERROR, "%s: TGA image is too large", name);
        return nullptr;
    }

    // The pixels in file order; what the file does not hold stays cleared.
    const size_t total = size_t(width) * size_t(height);
    // Raw data holds a pixel in bpp bytes, a run packet of 1 + bpp bytes at
    // most 128: a size the data can't come near (a 128th of it) is damage,
    // not a picture worth its memory.
    const size_t available = pos < size ? size - pos : 0;
    const size_t pixelsReachable = imageType == 10 ? available / (1 + bpp) * 128 : available / bpp;
    if (total / 128 > pixelsReachable + 1)
    {
        zuLog(ELL_ERROR, "%s: TGA data is far too short for its size", name);
        return nullptr;
    }
    std::vector<uint8_t> pixels(total * bpp, 0);
    size_t produced = 0;
    if (imageType == 2)
    {
        size_t count = available / bpp < total ? available / bpp : total;
        if (count) memcpy(pixels.data(), h + pos, count * bpp);
        produced = count;
    }
    else
    {
        while (produced < total && pos < size)
        {
            uint8_t packet = h[pos++];
            if (packet >= 128)
            {
                if (size - pos < bpp) break;
                size_t run = size_t(packet) - 127;
                if (run > total - produced) run = total - produced;
                for (size_t i = 0; i < run; ++i)
                    memcpy(&pixels[(produced + i) * bpp], h + pos, bpp);
                produced += run;
                pos += bpp;
            }
            else
            {
                size_t run = size_t(packet) + 1;
                if (run > total - produced) run = total - produced;
                size_t present = (size - pos) / bpp;
                if (run > present) run = present;
                if (run) memcpy(&pixels[produced * bpp], h + pos, run * bpp);
                produced += run;
                pos += run * bpp;
                if (run < size_t(packet) + 1 && produced < total) break;
            }
        }
    }
    if (produced < total) zuLog(ELL_ERROR, "%s: TGA pixel data ends early", name);

    ECOLOR_FORMAT format = depth == 16 ? ECF_A1R5G5B5 : depth == 24 ? ECF_R8G8B8 : ECF_A8R8G8B8;
    CImage* image = new CImage(format, {width, height});
    uint8_t* out = static_cast<uint8_t*>(image->lock());
    const size_t rowBytes = size_t(width) * bpp;
    for (int32_t row = 0; row < height; ++row)
    {
        const uint8_t* in = pixels.data() + size_t(row) * rowBytes;
        uint8_t* line = out + size_t(height - 1 - row) * rowBytes;
        if (depth == 24)
            swapRedBlue(in, line, width);
        else if (rowBytes)
        {
            memcpy(line, in, rowBytes);
        }
    }
    return image;
}

} // namespace kelvo::video
