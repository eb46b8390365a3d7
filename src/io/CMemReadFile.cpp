#include "io/CMemReadFile.h"

#include <cstring>

namespace zu::io
{

CMemReadFile::CMemReadFile(const void* data, int32_t size, bool owned)
    : m_data(static_cast<const uint8_t*>(data)), m_size(data && size > 0 ? size : 0), m_owned(owned)
{
}

CMemReadFile::~CMemReadFile()
{
    if (m_owned) delete[] m_data;
}

int32_t CMemReadFile::read(void* buffer, uint32_t count)
{
    if (!buffer) return 0;
    uint32_t remaining = static_cast<uint32_t>(m_size - m_pos);
    uint32_t n = count < remaining ? count : remaining;
    if (n == 0) return 0;
    memcpy(buffer, m_data + m_pos, n);
    m_pos += static_cast<int32_t>(n);
    return static_cast<int32_t>(n);
}

bool CMemReadFile::seek(int32_t offset, bool relative)
{
    int64_t target = relative ? int64_t(m_pos) + offset : int64_t(offset);
    if (target < 0 || target > m_size) return false;
    m_pos = static_cast<int32_t>(target);
    return true;
}

const core::CString& CMemReadFile::getFileName() const
{
    static const core::CString empty;
    return empty;
}

} // namespace zu::io
