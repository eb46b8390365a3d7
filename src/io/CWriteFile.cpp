#include "io/CWriteFile.h"

#include "core/Output.h"
#include "io/FileSystemCalls.h"

#include <cstdint>

namespace kelvo::io
{

CWriteFile* CWriteFile::create(const zu::core::CString& path, bool append)
{
    FILE* file = path.empty() ? nullptr : os::openFile(path, append ? "ab" : "wb");
    if (!file)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Unable to create file in CWriteFile::openFile: %s\n",
                        path.c_str());
        return nullptr;
    }
    // An appended file's size is what it held already; writes still go to its
    // end whatever the position says.
    long size = 0;
    if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    fseek(file, 0, SEEK_SET);
    if (size < 0 || size > INT32_MAX) size = INT32_MAX;
    return new CWriteFile(file, path, static_cast<int32_t>(size));
}

CWriteFile::CWriteFile(FILE* file, const zu::core::CString& path, int32_t openSize)
    : m_file(file), m_fileName(path), m_openSize(openSize)
{
}

CWriteFile::~CWriteFile()
{
    fclose(m_file);
}

int32_t CWriteFile::write(const void* data, uint32_t count)
{
    if (!data || count == 0) return 0;
    if (count > INT32_MAX) count = INT32_MAX;
    return static_cast<int32_t>(fwrite(data, 1, count, m_file));
}

bool CWriteFile::seek(int32_t offset, bool relative)
{
    return fseek(m_file, offset, relative ? SEEK_CUR : SEEK_SET) == 0;
}

void CWriteFile::flush()
{
    fflush(m_file);
}

int32_t CWriteFile::getPos() const
{
    long pos = ftell(m_file);
    return pos < 0 || pos > INT32_MAX ? -1 : static_cast<int32_t>(pos);
}

} // namespace kelvo::io
