#if PELLORA_HAS_JPEG
#include "video/null/JpegSupport.h"

#include "core/Output.h"

namespace kelvo::video::jpeg
{

namespace
{

void logMessage(j_common_ptr info, int level)
{
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    const char* name = reinterpret_cast<SErrorManager*>(info->err)->fileName;
    zu::core::zuLog(level, "%s: JPEG: %s", name ? name : "", text);
}

[[noreturn]] void onError(j_common_ptr info)
{
    logMessage(info, zu::core::ELL_ERROR);
    longjmp(reinterpret_cast<SErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr info, int level)
{
    // Corrupt-data warnings are level -1; trace messages are not wanted.
    if (level < 0 && info->err->num_warnings++ == 0)
        logMessage(info, zu::core::ELL_WARNING);
}

} // namespace

jpeg_error_mgr* installErrorManager(SErrorManager& manager, const char* fileName)
{
    jpeg_error_mgr* err = jpeg_std_error(&manager.pub);
    err->error_exit = onError;
    err->emit_message = onMessage;
    manager.fileName = fileName;
    return err;
}

} // namespace kelvo::video::jpeg
#endif
