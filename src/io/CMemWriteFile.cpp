#include "io/CMemWriteFile.h"

#include <cstring>

namespace zu::io
{

int32_t CMemWriteFile::write(const void* data, uint32_t count)
{
    if (!data || count == 0) return 0;
    int64_t end = int64_t(m_pos) + count;
    if (end > INT32_MAX) return 0;
    int64_t capacity = static_cast<int64_t>(m_buffer.size());
    if (end > capacity)
    {
        // Growing by half keeps many small writes cheap; a large write gets
        // exactly the room it needs on top.
        int64_t grown = capacity + capacity / 2;
        int64_t needed = capacity + count;
        int64_t target = grown > needed ? grown : needed;
        if (target < end) target = end;
        if (target > INT32_MAX) target = INT32_MAX;
        m_buffer.resize(static_cast<size_t>(target));
    }
    memcpy(m_buffer.data() + m_pos, data, count);
    m_pos = static_cast<int32_t>(end);
    if (m_pos > m_size) m_size = m_pos;
    return static_cast<int32_t>(count);
}

bool CMemWriteFile::seek(int32_t offset, bool relative)
{
    int64_t target = relative ? int64_t(m_pos) + offset : int64_t(offset);
    if (target < 0) target = 0;
    if (target > m_size) target = m_size;
    m_pos = static_cast<int32_t>(target);
    return true;
}

const core::CString& CMemWriteFile::getFileName() const
{
    static const core::CString name("MemFile");
    return name;
}

} // namespace zu::io
