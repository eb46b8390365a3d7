// The operating-system calls of the file system, in one place: folders
// through std::filesystem, files through the C library (wide paths on
// Windows, where the narrow calls would read UTF-8 as the ANSI code page).
// Paths are UTF-8 throughout.
#pragma once

#include "core/CString.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace kelvo::io::os
{

struct SFolderEntry
{
    zu::core::CString name;
    bool isDirectory = false;
    int64_t size = 0;
};

FILE* openFile(const zu::core::CString& path, const char* mode);
// True for an open regular file, with its modification time in seconds since 1970.
bool isRegularFile(FILE* file, int64_t& lastModified);
bool isFolder(const zu::core::CString& path);
bool exists(const zu::core::CString& path);
bool makeFolder(const zu::core::CString& path);
zu::core::CString currentFolder();
bool changeFolder(const zu::core::CString& path);
// The entries of a folder, "." and ".." first; false when it cannot be read.
bool listFolder(const zu::core::CString& path, std::vector<SFolderEntry>& entries);

} // namespace kelvo::io::os
