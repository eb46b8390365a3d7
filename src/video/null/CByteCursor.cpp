#include "video/null/CByteCursor.h"

#include "core/ByteOrder.h"

#include <cstring>

namespace kelvo::video
{

bool CByteCursor::readInt(int32_t& value)
{
    if (left() < 4) return false;
    value = int32_t(zu::core::readLE32(m_bytes.data() + m_pos));
    m_pos += 4;
    return true;
}

bool CByteCursor::readFloat(float& value)
{
    if (left() < 4) return false;
    const uint32_t bits = zu::core::readLE32(m_bytes.data() + m_pos);
    memcpy(&value, &bits, sizeof value);
    m_pos += 4;
    return true;
}

bool CByteCursor::readString(zu::core::CString& text)
{
    const uint8_t* start = m_bytes.data() + m_pos;
    const void* end = left() ? memchr(start, 0, left()) : nullptr;
    if (!end) return false;
    const size_t length = size_t(static_cast<const uint8_t*>(end) - start);
    text = zu::core::CString(reinterpret_cast<const char*>(start), length);
    m_pos += length + 1;
    return true;
}

} // namespace kelvo::video
