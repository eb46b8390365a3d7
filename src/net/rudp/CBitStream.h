// CBitStream: the bit stream messages are built with and read from.
//
// Bits go most significant first: the first bit written is the top bit of
// the first byte, and values need not start on a byte boundary (a boolean is
// one bit, so a byte written after it straddles two bytes). Integers and
// floats are big-endian; the reliability layer's 24-bit numbers are
// little-endian. Strings are a 16-bit length and their bytes, wide strings a
// 16-bit count of 16-bit units; addresses are a family byte (4 or 6) and the
// address's encoding (for IPv4 the four bytes inverted, then the port);
// identifiers are 64-bit.
//
// Every read checks that enough bits remain and returns false when they do
// not, leaving the read position where it was: nothing is ever read past the
// end.
#pragma once

#include "net/rudp/SGuid.h"
#include "net/rudp/SSystemAddress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::net::rudp
{

class CBitStream
{
  public:
    CBitStream() = default;
    // A stream holding a copy of the bytes, read from the start.
    CBitStream(const uint8_t* data, size_t size);

    const uint8_t* data() const { return m_data.data(); }
    size_t sizeBytes() const { return (m_bits + 7) / 8; }
    size_t sizeBits() const { return m_bits; }
    size_t readPosition() const { return m_read; }
    size_t unreadBits() const { return m_bits - m_read; }
    void setReadPosition(size_t bit) { m_read = bit < m_bits ? bit : m_bits; }
    void clear();

    void writeBit(bool bit);
    // The low `count` bits of value (at most 64), the highest first.
    void writeBits(uint64_t value, unsigned count);
    void writeU8(uint8_t v) { writeBits(v, 8); }
    void writeU16(uint16_t v) { writeBits(v, 16); }
    void writeU32(uint32_t v) { writeBits(v, 32); }
    void writeU64(uint64_t v) { writeBits(v, 64); }
    void writeU24LE(uint32_t v);
    void writeFloat(float v);
    // x clamped to min..max, quantised to 16 bits across that range.
    void writeFloat16(float x, float min, float max);
    void writeBytes(const void* bytes, size_t size);
    void writeZeros(size_t bytes);
    // At most 65535 bytes; a longer text is cut there.
    void writeString(const std::string& text);
    void writeWideString(const std::u16string& text);
    void writeAddress(const SSystemAddress& address);
    void writeGuid(SGuid guid) { writeU64(guid.value); }
    void writeMagic();
    // Pads with zero bits to the next byte.
    void alignWrite();

    bool readBit(bool& bit);
    bool readBits(uint64_t& value, unsigned count);
    bool readU8(uint8_t& v);
    bool readU16(uint16_t& v);
    bool readU32(uint32_t& v);
    bool readU64(uint64_t& v);
    bool readU24LE(uint32_t& v);
    bool readFloat(float& v);
    bool readFloat16(float& v, float min, float max);
    bool readBytes(void* out, size_t size);
    bool skipBytes(size_t size);
    bool readString(std::string& text);
    bool readWideString(std::u16string& text);
    // Family 4 or 6; anything else is false.
    bool readAddress(SSystemAddress& address);
    bool readGuid(SGuid& guid);
    // True when the next 16 bytes are the offline magic (and reads them).
    bool readMagic();
    void alignRead()
    {
        m_read = (m_read + 7) & ~size_t(7);
        if (m_read > m_bits) m_read = m_bits;
    }

  private:
    // An unsigned number of T's width, big-endian.
    template <class T> bool readNumber(T& v);

    std::vector<uint8_t> m_data;
    size_t m_bits = 0;
    size_t m_read = 0;
};

} // namespace kelvo::net::rudp
