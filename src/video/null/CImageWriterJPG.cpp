#include "video/null/CImageWriterJPG.h"

#include "core/Output.h"
#include "io/IWriteFile.h"

#if PELLORA_HAS_JPEG
#include "video/null/JpegSupport.h"

#include <jerror.h>
#endif

namespace kelvo::video
{

#if PELLORA_HAS_JPEG
namespace
{

constexpr size_t kBufferSize = 4096;

struct SEncodeState
{
    jpeg_compress_struct info;
    jpeg::SErrorManager errors;
    jpeg_destination_mgr destination;
    zu::io::IWriteFile* file;
    JOCTET buffer[kBufferSize];
};

SEncodeState* stateOf(j_compress_ptr info)
{
    return reinterpret_cast<SEncodeState*>(reinterpret_cast<char*>(info) -
                                           offsetof(SEncodeState, info));
}

void initDestination(j_compress_ptr info)
{
    SEncodeState* state = stateOf(info);
    state->destination.next_output_byte = state->buffer;
    state->destination.free_in_buffer = kBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr info)
{
    SEncodeState* state = stateOf(info);
    if (state->file->write(state->buffer, kBufferSize) != int32_t(kBufferSize))
        ERREXIT(info, JERR_FILE_WRITE);
    initDestination(info);
    return TRUE;
}

void termDestination(j_compress_ptr info)
{
    SEncodeState* state = stateOf(info);
    uint32_t count = uint32_t(kBufferSize - state->destination.free_in_buffer);
    if (count && state->file->write(state->buffer, count) != int32_t(count))
        ERREXIT(info, JERR_FILE_WRITE);
    state->file->flush();
}

} // namespace

bool CImageWriterJPG::writeImage(zu::io::IWriteFile* file, const uint8_t* rgbRows, int32_t width,
                                 int32_t height, int quality)
{
    if (!file || !rgbRows || width <= 0 || height <= 0 || width > 65500 || height > 65500)
        return false;

    SEncodeState* state = new SEncodeState();
    state->file = file;
    jpeg_compress_struct& info = state->info;
    info.err = jpeg::installErrorManager(state->errors, file->getFileName().c_str());
    if (setjmp(state->errors.jump))
    {
        jpeg_destroy_compress(&state->info);
        delete state;
        return false;
    }
    jpeg_create_compress(&info);
    state->destination.init_destination = initDestination;
    state->destination.empty_output_buffer = emptyOutputBuffer;
    state->destination.term_destination = termDestination;
    info.dest = &state->destination;

    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = size_t(width) * 3;
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = const_cast<JSAMPROW>(rgbRows + size_t(info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    delete state;
    return true;
}

#else
bool CImageWriterJPG::writeImage(zu::io::IWriteFile*, const uint8_t*, int32_t, int32_t, int)
{
    zu::core::zuLogText("JPEG writing is not supported by this build", zu::core::ELL_ERROR);
    return false;
}
#endif

} // namespace kelvo::video
