// Fuzz target: the image loaders. The first byte picks the loader (BMP, JPEG,
// TGA, PSD, PCX, PNG); the rest is the file. Every pixel of an image that loads is
// read back, and the image is converted once, so a size that disagrees with
// the memory behind it is caught.
#include "core/Output.h"
#include "io/CMemoryReadFile.h"
#include "video/null/CImage.h"
#include "video/null/CImageLoaderBmp.h"
#include "video/null/CImageLoaderJPG.h"
#include "video/null/CImageLoaderPCX.h"
#include "video/null/CImageLoaderPNG.h"
#include "video/null/CImageLoaderPSD.h"
#include "video/null/CImageLoaderTGA.h"

#include <cstdint>
#include <cstring>

namespace
{
void quiet(const char*, int) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;
    if (size < 1 || size > (1 << 22))
        return 0;

    static const char* const names[6] = {"fuzz.bmp", "fuzz.jpg", "fuzz.tga",
                                         "fuzz.psd", "fuzz.pcx", "fuzz.png"};
    static zu::video::IImageLoader* const loaders[6] = {
        new kelvo::video::CImageLoaderBmp(), new kelvo::video::CImageLoaderJPG(),
        new kelvo::video::CImageLoaderTGA(), new kelvo::video::CImageLoaderPSD(),
        new kelvo::video::CImageLoaderPCX(), new kelvo::video::CImageLoaderPNG()};
    const int which = data[0] % 6;
    ++data, --size;

    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size)
        memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, names[which]);
    loaders[which]->acceptsContent(file);
    file->seek(0);
    zu::video::IImage* image = loaders[which]->load(file);
    file->drop();
    if (!image)
        return 0;

    // The corners and the last row are enough to meet the ends of the memory;
    // a full pass over a huge image would only slow the fuzzer down.
    const zu::core::SDimension2i imageSize = image->getSize();
    uint32_t sum = image->getPixel(0, 0) + image->getPixel(imageSize.width - 1, 0);
    for (int32_t x = 0; x < imageSize.width; ++x)
        sum += image->getPixel(x, imageSize.height - 1);
    if (image->getByteCount() !=
        uint32_t(image->getBytesPerPixel()) * uint32_t(imageSize.width) * uint32_t(imageSize.height))
        __builtin_trap();
    if (image->getPixelCount() <= (1u << 16))
    {
        kelvo::video::CImage converted(zu::video::ECF_A1R5G5B5, image);
        sum += converted.getPixel(imageSize.width - 1, imageSize.height - 1);
    }
    image->drop();
    return int(sum & 0);
}
