#include "platform/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvo::platform
{

void configureProcessMemory()
{
#if defined(__GLIBC__)
    // Blocks up to 32 MiB come from the heap, whose top is given back only
    // past 256 MiB free; growing it takes 16 MiB at a time.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
}

} // namespace kelvo::platform
