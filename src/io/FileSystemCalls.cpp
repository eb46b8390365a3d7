#include "io/FileSystemCalls.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <sys/types.h>

namespace kelvo::io::os
{
namespace
{

namespace fs = std::filesystem;

fs::path toPath(const zu::core::CString& path)
{
    return fs::u8path(path.data(), path.data() + path.size());
}

zu::core::CString fromPath(const fs::path& path)
{
    return zu::core::CString(path.u8string());
}

} // namespace

FILE* openFile(const zu::core::CString& path, const char* mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + strlen(mode));
    return _wfopen(toPath(path).c_str(), wideMode.c_str());
#else
    return fopen(path.c_str(), mode);
#endif
}

bool isRegularFile(FILE* file, int64_t& lastModified)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return false;
#else
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return false;
#endif
    lastModified = int64_t(info.st_mtime);
    return true;
}

bool isFolder(const zu::core::CString& path)
{
    std::error_code error;
    return fs::is_directory(toPath(path), error);
}

bool exists(const zu::core::CString& path)
{
    std::error_code error;
    return fs::exists(toPath(path), error);
}

bool makeFolder(const zu::core::CString& path)
{
    std::error_code error;
    return fs::create_directory(toPath(path), error);
}

zu::core::CString currentFolder()
{
    std::error_code error;
    fs::path path = fs::current_path(error);
    return error ? zu::core::CString(".") : fromPath(path);
}

bool changeFolder(const zu::core::CString& path)
{
    std::error_code error;
    fs::current_path(toPath(path), error);
    return !error;
}

bool listFolder(const zu::core::CString& path, std::vector<SFolderEntry>& entries)
{
    std::error_code error;
    fs::directory_iterator it(toPath(path), error);
    if (error) return false;
    // Like a directory read on every platform: the folder and its parent first.
    entries.push_back({".", true, 0});
    entries.push_back({"..", true, 0});
    for (const fs::directory_entry& item : it)
    {
        SFolderEntry entry;
        entry.name = fromPath(item.path().filename());
        std::error_code itemError;
        entry.isDirectory = item.is_directory(itemError);
        if (!entry.isDirectory)
        {
            const uintmax_t size = item.file_size(itemError);
            entry.size = itemError ? 0 : int64_t(size);
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace kelvo::io::os
