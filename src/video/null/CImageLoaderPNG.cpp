#include "video/null/CImageLoaderPNG.h"

#include "core/Output.h"
#include "video/null/CImage.h"

#if PELLORA_HAS_PNG
#include <png.h>
#endif

using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{
// The signature, then the header chunk: the least a PNG file can be.
constexpr size_t kHeaderSize = 8 + 25;
} // namespace

CImageLoaderPNG::CImageLoaderPNG()
    : CImageLoader({".png", 0, "\x89PNG\r\n\x1a\n", kHeaderSize, "PNG file is too short"})
{
}

#if PELLORA_HAS_PNG
IImage* CImageLoaderPNG::decode(const char* name, const uint8_t* bytes, size_t size) const
{
    // The simplified interface keeps libpng's own error jumps inside the
    // library and reports failures in the image's message.
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes, size))
    {
        zuLog(ELL_ERROR, "%s: not a readable PNG file (%s)", name, png.message);
        return nullptr;
    }
    if (!CImage::isSizeAcceptable(png.width, png.height, 4))
    {
        zuLog(ELL_ERROR, "%s: PNG image of %u x %u is too large", name, png.width, png.height);
        png_image_free(&png);
        return nullptr;
    }
    // B, G, R, A in memory: the bytes of an A8R8G8B8 pixel.
    png.format = PNG_FORMAT_BGRA;
    CImage* image = new CImage(ECF_A8R8G8B8, {int32_t(png.width), int32_t(png.height)});
    if (!png_image_finish_read(&png, nullptr, image->lock(), 0, nullptr))
    {
        zuLog(ELL_ERROR, "%s: PNG data is damaged (%s)", name, png.message);
        png_image_free(&png);
        image->drop();
        return nullptr;
    }
    return image;
}

#else
IImage* CImageLoaderPNG::decode(const char* name, const uint8_t*, size_t) const
{
    zuLog(ELL_ERROR, "%s: PNG images are not supported by this build", name);
    return nullptr;
}
#endif

} // namespace kelvo::video
