#include "io/CReadFile.h"

#include "io/FileSystemCalls.h"

#include <cstdint>

namespace kelvo::io
{

CReadFile* CReadFile::create(const zu::core::CString& path)
{
    if (path.empty()) return nullptr;
    FILE* file = os::openFile(path, "rb");
    if (!file) return nullptr;
    // fopen happily opens a folder on some platforms; reading it would fail
    // later in confusing ways, so a folder is simply not a file.
    int64_t lastModified = 0;
    if (!os::isRegularFile(file, lastModified))
    {
        fclose(file);
        return nullptr;
    }
    if (fseek(file, 0, SEEK_END) != 0)
    {
        fclose(file);
        return nullptr;
    }
    long size = ftell(file);
    if (size < 0 || size > INT32_MAX || fseek(file, 0, SEEK_SET) != 0)
    {
        fclose(file);
        return nullptr;
    }
    return new CReadFile(file, path, static_cast<int32_t>(size),
                         lastModified);
}

CReadFile::CReadFile(FILE* file, const zu::core::CString& path, int32_t size, int64_t lastModified)
    : m_file(file), m_fileName(path), m_size(size), m_lastModified(lastModified)
{
}

CReadFile::~CReadFile()
{
    fclose(m_file);
}

int32_t CReadFile::read(void* buffer, uint32_t count)
{
    if (!buffer || count == 0) return 0;
    if (count > INT32_MAX) count = INT32_MAX;
    return static_cast<int32_t>(fread(buffer, 1, count, m_file));
}

bool CReadFile::readLine(char* buffer, int32_t capacity)
{
    if (!buffer || capacity <= 1) return false;
    return fgets(buffer, capacity, m_file) != nullptr;
}

bool CReadFile::seek(int32_t offset, bool relative)
{
    return fseek(m_file, offset, relative ? SEEK_CUR : SEEK_SET) == 0;
}

int32_t CReadFile::getPos() const
{
    long pos = ftell(m_file);
    return pos < 0 || pos > INT32_MAX ? -1 : static_cast<int32_t>(pos);
}

} // namespace kelvo::io
