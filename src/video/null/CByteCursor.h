// CByteCursor: reads little-endian integers, floats and zero-ended strings
// from bytes in memory. Every read says whether the bytes were there, and
// counts are checked against what is left before anything is made for them,
// so the package readers never trust a file.
#pragma once

#include "core/CString.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvo::video
{

class CByteCursor
{
  public:
    explicit CByteCursor(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    size_t left() const { return m_bytes.size() - m_pos; }
    size_t position() const { return m_pos; }

    bool readInt(int32_t& value);
    // The four bytes of an IEEE single.
    bool readFloat(float& value);
    bool readString(zu::core::CString& text);

    // Whether count records of at least recordSize bytes can still follow.
    bool canHold(int32_t count, size_t recordSize) const
    {
        return count >= 0 && uint64_t(count) * recordSize <= left();
    }

  private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

} // namespace kelvo::video
