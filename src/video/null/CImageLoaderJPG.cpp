#include "video/null/CImageLoaderJPG.h"

#include "core/Output.h"
#include "video/null/CImage.h"
#include "video/null/LoaderSupport.h"

#include <cstring>
#include <vector>

#if PELLORA_HAS_JPEG
#include "video/null/JpegSupport.h"

#include <jerror.h>
#endif

using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;
using namespace kelvo::video::loader;

namespace kelvo::video
{

#if PELLORA_HAS_JPEG
namespace
{

void initSource(j_decompress_ptr) {}

// All data is handed over at once, so asking for more means it ended early.
boolean fillInputBuffer(j_decompress_ptr info)
{
    ERREXIT(info, JERR_INPUT_EOF);
    return FALSE;
}

void skipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0) return;
    if (size_t(count) > info->src->bytes_in_buffer) ERREXIT(info, JERR_INPUT_EOF);
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) {}

struct SDecodeState
{
    jpeg_decompress_struct info;
    jpeg::SErrorManager errors;
    jpeg_source_mgr source;
    CImage* volatile image = nullptr;
    std::vector<uint8_t> greyRow;
};

} // namespace
#endif

CImageLoaderJPG::CImageLoaderJPG() : CImageLoader({".jpg", 6, "JFIF", 1, "JPEG file is empty"}) {}

#if PELLORA_HAS_JPEG

IImage* CImageLoaderJPG::decode(const char* name, const uint8_t* bytes, size_t size) const
{
    SDecodeState state;
    jpeg_decompress_struct& info = state.info;
    info.err = jpeg::installErrorManager(state.errors, name);
    if (setjmp(state.errors.jump))
    {
        jpeg_destroy_decompress(&info);
        if (state.image) state.image->drop();
        return nullptr;
    }
    jpeg_create_decompress(&info);
    // A small progressive file may ask the library for large coefficient
    // buffers; past this it fails through the error handler instead.
    info.mem->max_memory_to_use = CImage::MAX_BYTES;
    state.source.init_source = initSource;
    state.source.fill_input_buffer = fillInputBuffer;
    state.source.skip_input_data = skipInputData;
    state.source.resync_to_restart = jpeg_resync_to_restart;
    state.source.term_source = termSource;
    state.source.next_input_byte = bytes;
    state.source.bytes_in_buffer = size;
    info.src = &state.source;

    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
    {
        zuLog(ELL_ERROR, "%s: JPEG file holds no image", name);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    {
        zuLog(ELL_ERROR, "%s: CMYK JPEG images are not supported", name);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    if (!CImage::isSizeAcceptable(info.image_width, info.image_height, 3))
    {
        zuLog(ELL_ERROR, "%s: JPEG image is too large", name);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    jpeg_start_decompress(&info);
    const int components = grey ? 1 : 3;
    if (info.output_components != components)
    {
        zuLog(ELL_ERROR, "%s: JPEG image has %d components", name, info.output_components);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    const uint32_t width = info.output_width;
    const uint32_t height = info.output_height;
    state.image = new CImage(ECF_R8G8B8, {int32_t(width), int32_t(height)});
    uint8_t* out = static_cast<uint8_t*>(state.image->lock());
    if (grey) state.greyRow.resize(width ? width : 1);
    while (info.output_scanline < height)
    {
        uint8_t* line = out + size_t(info.output_scanline) * width * 3;
        JSAMPROW row = grey ? state.greyRow.data() : line;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
        if (grey)
            for (uint32_t x = 0; x < width; ++x)
                line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = state.greyRow[x];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return state.image;
}

#else
IImage* CImageLoaderJPG::decode(const char* name, const uint8_t*, size_t) const
{
    zuLog(ELL_ERROR, "%s: JPEG images are not supported by this build", name);
    return nullptr;
}
#endif

} // namespace kelvo::video
