// The libjpeg glue the JPEG loader and the screenshot writer share: an error
// manager that jumps back to the caller instead of ending the process, and
// that logs the library's message. Include only from .cpp files.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace kelvo::video::jpeg
{

struct SErrorManager
{
    jpeg_error_mgr pub;
    jmp_buf jump;
    const char* fileName;
};

// Installs the manager on a compress or decompress object; call setjmp on
// manager.jump before any library call.
jpeg_error_mgr* installErrorManager(SErrorManager& manager, const char* fileName);

} // namespace kelvo::video::jpeg
