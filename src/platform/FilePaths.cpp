#include "platform/FilePaths.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace kelvo::platform
{

bool findPath(const char* path, zu::core::CString& absolute, bool& isFolder)
{
    char resolved[PATH_MAX];
    struct stat info;
    if (!path || !realpath(path, resolved) || stat(resolved, &info) != 0)
        return false;
    absolute = resolved;
    isFolder = S_ISDIR(info.st_mode);
    return true;
}

} // namespace kelvo::platform
