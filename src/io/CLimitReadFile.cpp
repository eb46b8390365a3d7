#include "io/CLimitReadFile.h"

namespace kelvo::io
{

CLimitReadFile::CLimitReadFile(zu::io::IReadFile* file, int32_t start, int32_t size,
                               const zu::core::CString& name)
    : m_file(file), m_start(start < 0 ? 0 : start), m_size(size < 0 ? 0 : size), m_fileName(name)
{
    m_file->grab();
}

CLimitReadFile::~CLimitReadFile()
{
    m_file->drop();
}

int32_t CLimitReadFile::read(void* buffer, uint32_t count)
{
    if (!buffer || m_pos >= m_size) return 0;
    uint32_t remaining = static_cast<uint32_t>(m_size - m_pos);
    uint32_t n = count < remaining ? count : remaining;
    if (n == 0 || !m_file->seek(m_start + m_pos)) return 0;
    int32_t got = m_file->read(buffer, n);
    if (got > 0) m_pos += got;
    return got > 0 ? got : 0;
}

bool CLimitReadFile::readLine(char* buffer, int32_t capacity)
{
    if (!buffer || capacity <= 1 || m_pos >= m_size) return false;
    int32_t n = 0;
    char c = 0;
    while (n < capacity - 1 && read(&c, 1) == 1)
    {
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = 0;
    return n > 0;
}

bool CLimitReadFile::seek(int32_t offset, bool relative)
{
    int64_t target = relative ? int64_t(m_pos) + offset : int64_t(offset);
    if (target < 0) return false;
    if (target > m_size)
    {
        if (!relative) return false;
        target = m_size;
    }
    m_pos = static_cast<int32_t>(target);
    return true;
}

} // namespace kelvo::io
