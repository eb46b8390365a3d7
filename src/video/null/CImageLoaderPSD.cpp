#include "video/null/CImageLoaderPSD.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "video/null/CImage.h"
#include "video/null/LoaderSupport.h"

#include <cstring>

using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;
using namespace kelvo::video::loader;

namespace kelvo::video
{

namespace
{

constexpr size_t kHeaderSize = 26;
constexpr const char* kNotPsd = "Not a PSD file";

// Where channel c lands in a little-endian A8R8G8B8 pixel: blue is byte 0.
int channelByte(uint32_t channel, uint32_t channelCount)
{
    switch (channel)
    {
    case 0:
        return 2; // red
    case 1:
        return 1; // green
    case 2:
        return 0; // blue
    case 3:
        return channelCount == 4 ? 3 : -1;
    default:
        return -1;
    }
}

void logError(const char* name, const char* message)
{
    zuLog(ELL_ERROR, "%s: %s", name, message);
}

} // namespace

CImageLoaderPSD::CImageLoaderPSD() : CImageLoader({".psd", 0, "8BPS", kHeaderSize, kNotPsd}) {}

IImage* CImageLoaderPSD::decode(const char* name, const uint8_t* h, size_t size) const
{
    if (memcmp(h, "8BPS", 4) != 0)
    {
        logError(name, kNotPsd);
        return nullptr;
    }
    if (zu::core::readBE16(h + 4) != 1)
    {
        logError(name, "Unsupported PSD file version");
        return nullptr;
    }
    uint32_t channels = zu::core::readBE16(h + 12);
    uint32_t height = zu::core::readBE32(h + 14);
    uint32_t width = zu::core::readBE32(h + 18);
    uint32_t depth = zu::core::readBE16(h + 22);
    uint32_t mode = zu::core::readBE16(h + 24);
    // RGB needs its three colour channels.
    if (depth != 8 || mode != 3 || channels < 3)
    {
        logError(name, "Unsupported PSD color mode or depth.");
        return nullptr;
    }
    if (!CImage::isSizeAcceptable(width, height, 4))
    {
        logError(name, "PSD image is too large");
        return nullptr;
    }

    // Colour mode data, image resources, layers and masks: each a length and
    // that many bytes.
    static const char* const kSeekErrors[3] = {"Error seeking file pos to image resources.",
                                               "Error seeking file pos to layer and mask.",
                                               "Error seeking file pos to image data section."};
    size_t pos = kHeaderSize;
    for (const char* error : kSeekErrors)
    {
        if (size - pos < 4 || size - pos - 4 < zu::core::readBE32(h + pos))
        {
            logError(name, error);
            return nullptr;
        }
        pos += 4 + size_t(zu::core::readBE32(h + pos));
    }
    if (size - pos < 2)
    {
        logError(name, "Unsupported psd compression mode.");
        return nullptr;
    }
    uint32_t compression = zu::core::readBE16(h + pos);
    pos += 2;
    if (compression != 0 && compression != 1)
    {
        logError(name, "Unsupported psd compression mode.");
        return nullptr;
    }

    const size_t pixelCount = size_t(width) * size_t(height);
    // Raw channels hold a byte a pixel: data short of a 128th of one channel
    // is damage, not a picture worth its memory.
    if (compression == 0 && (size - pos) < pixelCount / 128)
    {
        logError(name, "PSD data is far too short for its size");
        return nullptr;
    }
    CImage* image = new CImage(ECF_A8R8G8B8, {int32_t(width), int32_t(height)});
    uint8_t* out = static_cast<uint8_t*>(image->lock());
    // Without an alpha channel every pixel is opaque; colours start black.
    for (size_t i = 0; i < pixelCount; ++i)
        memcpy(out + 4 * i, "\0\0\0\xFF", 4);

    if (compression == 0)
    {
        for (uint32_t c = 0; c < channels; ++c)
        {
            int target = channelByte(c, channels);
            if (target < 0) break;
            if (size - pos < pixelCount)
            {
                logError(name, "Error reading color channel");
                break;
            }
            for (size_t i = 0; i < pixelCount; ++i)
                out[4 * i + size_t(target)] = h[pos + i];
            pos += pixelCount;
        }
        return image;
    }

    // Run-length: a table of row byte counts for every channel, then the rows.
    const size_t rowCount = size_t(channels) * size_t(height);
    if ((size - pos) / 2 < rowCount)
    {
        logError(name, "Error reading rle rows");
        image->drop();
        return nullptr;
    }
    const uint8_t* table = h + pos;
    pos += rowCount * 2;
    for (size_t row = 0; row < rowCount; ++row)
    {
        size_t rowBytes = zu::core::readBE16(table + row * 2);
        if (size - pos < rowBytes)
        {
            logError(name, "Error reading rle rows");
            image->drop();
            return nullptr;
        }
        const uint8_t* in = h + pos;
        pos += rowBytes;
        int target = channelByte(uint32_t(row / height), channels);
        if (target < 0 || rowBytes == 0) continue;
        uint8_t* line = out + (row % height) * size_t(width) * 4 + size_t(target);
        size_t x = 0;
        size_t at = 0;
        while (at < rowBytes && x < width)
        {
            uint8_t n = in[at++];
            if (n < 128)
            {
                size_t count = size_t(n) + 1;
                if (count > rowBytes - at) count = rowBytes - at;
                for (size_t i = 0; i < count && x < width; ++i)
                    line[4 * x++] = in[at + i];
                at += count;
            }
            else if (n > 128)
            {
                if (at >= rowBytes) break;
                uint8_t value = in[at++];
                for (size_t i = 0; i < size_t(257 - n) && x < width; ++i)
                    line[4 * x++] = value;
            }
        }
    }
    return image;
}

} // namespace kelvo::video
