#include "net/rudp/CBitStream.h"

#include "net/rudp/RudpProtocol.h"

#include <cmath>
#include <cstring>

namespace kelvo::net::rudp
{

CBitStream::CBitStream(const uint8_t* data, size_t size)
    : m_data(data, data + size), m_bits(size * 8)
{
}

void CBitStream::clear()
{
    m_data.clear();
    m_bits = 0;
    m_read = 0;
}

void CBitStream::writeBit(bool bit)
{
    if ((m_bits & 7) == 0) m_data.push_back(0);
    if (bit) m_data[m_bits >> 3] |= uint8_t(0x80 >> (m_bits & 7));
    ++m_bits;
}

void CBitStream::writeBits(uint64_t value, unsigned count)
{
    if ((m_bits & 7) == 0 && (count & 7) == 0)
    {
        for (unsigned shift = count; shift > 0; shift -= 8)
            m_data.push_back(uint8_t(value >> (shift - 8)));
        m_bits += count;
        return;
    }
    for (unsigned i = count; i > 0; --i)
        writeBit((value >> (i - 1)) & 1);
}

void CBitStream::writeU24LE(uint32_t v)
{
    writeU8(uint8_t(v));
    writeU8(uint8_t(v >> 8));
    writeU8(uint8_t(v >> 16));
}

void CBitStream::writeFloat(float v)
{
    uint32_t bits = 0;
    memcpy(&bits, &v, 4);
    writeU32(bits);
}

void CBitStream::writeFloat16(float x, float min, float max)
{
    uint16_t q = 0;
    const float range = max - min;
    if (range > 0 && std::isfinite(range))
    {
        float t = (x - min) / range;
        if (!(t > 0)) t = 0;
        if (t > 1) t = 1;
        q = uint16_t(std::lround(t * 65535.0f));
    }
    writeU16(q);
}

void CBitStream::writeBytes(const void* bytes, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    if ((m_bits & 7) == 0)
    {
        m_data.insert(m_data.end(), p, p + size);
        m_bits += size * 8;
        return;
    }
    for (size_t i = 0; i < size; ++i)
        writeBits(p[i], 8);
}

void CBitStream::writeZeros(size_t bytes)
{
    if ((m_bits & 7) == 0)
    {
        m_data.resize(m_data.size() + bytes, 0);
        m_bits += bytes * 8;
        return;
    }
    for (size_t i = 0; i < bytes; ++i)
        writeBits(0, 8);
}

void CBitStream::writeString(const std::string& text)
{
    const size_t n = text.size() > 65535 ? 65535 : text.size();
    writeU16(uint16_t(n));
    writeBytes(text.data(), n);
}

void CBitStream::writeWideString(const std::u16string& text)
{
    const size_t n = text.size() > 65535 ? 65535 : text.size();
    writeU16(uint16_t(n));
    for (size_t i = 0; i < n; ++i)
        writeU16(uint16_t(text[i]));
}

void CBitStream::writeAddress(const SSystemAddress& address)
{
    if (address.family == EF_IPV6)
    {
        writeU8(6);
        // The family field of the system's socket address, little-endian;
        // readers skip it.
        writeU8(10);
        writeU8(0);
        writeU16(address.port);
        writeU32(0);
        writeBytes(address.bytes, 16);
        writeU32(address.scopeId);
        return;
    }
    writeU8(4);
    for (int i = 0; i < 4; ++i)
        writeU8(uint8_t(~(address.family == EF_IPV4 ? address.bytes[i] : 255)));
    writeU16(address.family == EF_IPV4 ? address.port : 65535);
}

void CBitStream::writeMagic()
{
    writeBytes(OFFLINE_MAGIC, sizeof(OFFLINE_MAGIC));
}

void CBitStream::alignWrite()
{
    m_bits = m_data.size() * 8;
}

bool CBitStream::readBit(bool& bit)
{
    if (m_read >= m_bits) return false;
    bit = (m_data[m_read >> 3] & (0x80 >> (m_read & 7))) != 0;
    ++m_read;
    return true;
}

bool CBitStream::readBits(uint64_t& value, unsigned count)
{
    if (count > 64 || unreadBits() < count) return false;
    uint64_t v = 0;
    if ((m_read & 7) == 0 && (count & 7) == 0)
    {
        for (unsigned i = 0; i < count / 8; ++i)
            v = v << 8 | m_data[(m_read >> 3) + i];
        m_read += count;
    }
    else
    {
        for (unsigned i = 0; i < count; ++i)
        {
            v = v << 1 | ((m_data[m_read >> 3] >> (7 - (m_read & 7))) & 1);
            ++m_read;
        }
    }
    value = v;
    return true;
}

template <class T> bool CBitStream::readNumber(T& v)
{
    uint64_t x = 0;
    if (!readBits(x, sizeof(T) * 8)) return false;
    v = T(x);
    return true;
}

bool CBitStream::readU8(uint8_t& v)
{
    return readNumber(v);
}

bool CBitStream::readU16(uint16_t& v)
{
    return readNumber(v);
}

bool CBitStream::readU32(uint32_t& v)
{
    return readNumber(v);
}

bool CBitStream::readU64(uint64_t& v)
{
    return readBits(v, 64);
}

bool CBitStream::readU24LE(uint32_t& v)
{
    uint8_t b[3];
    if (!readBytes(b, 3)) return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16;
    return true;
}

bool CBitStream::readFloat(float& v)
{
    uint32_t bits = 0;
    if (!readU32(bits)) return false;
    memcpy(&v, &bits, 4);
    return true;
}

bool CBitStream::readFloat16(float& v, float min, float max)
{
    uint16_t q = 0;
    if (!readU16(q)) return false;
    v = min + (max - min) * (float(q) / 65535.0f);
    return true;
}

bool CBitStream::readBytes(void* out, size_t size)
{
    if (unreadBits() / 8 < size) return false;
    uint8_t* p = static_cast<uint8_t*>(out);
    if ((m_read & 7) == 0)
    {
        if (size) memcpy(p, m_data.data() + (m_read >> 3), size);
        m_read += size * 8;
        return true;
    }
    for (size_t i = 0; i < size; ++i)
    {
        uint64_t x = 0;
        readBits(x, 8);
        p[i] = uint8_t(x);
    }
    return true;
}

bool CBitStream::skipBytes(size_t size)
{
    if (unreadBits() / 8 < size) return false;
    m_read += size * 8;
    return true;
}

bool CBitStream::readString(std::string& text)
{
    const size_t start = m_read;
    uint16_t n = 0;
    if (!readU16(n) || unreadBits() / 8 < n)
    {
        m_read = start;
        return false;
    }
    text.resize(n);
    readBytes(&text[0], n);
    return true;
}

bool CBitStream::readWideString(std::u16string& text)
{
    const size_t start = m_read;
    uint16_t n = 0;
    if (!readU16(n) || unreadBits() / 16 < n)
    {
        m_read = start;
        return false;
    }
    text.resize(n);
    for (uint16_t i = 0; i < n; ++i)
    {
        uint16_t unit = 0;
        readU16(unit);
        text[i] = char16_t(unit);
    }
    return true;
}

bool CBitStream::readAddress(SSystemAddress& address)
{
    const size_t start = m_read;
    uint8_t family = 0;
    if (!readU8(family)) return false;
    SSystemAddress a;
    if (family == 4 && unreadBits() >= 48)
    {
        a.family = EF_IPV4;
        for (int i = 0; i < 4; ++i)
        {
            uint8_t b = 0;
            readU8(b);
            a.bytes[i] = uint8_t(~b);
        }
        readU16(a.port);
        address = a;
        return true;
    }
    if (family == 6 && unreadBits() >= 28 * 8)
    {
        a.family = EF_IPV6;
        uint32_t flow = 0;
        skipBytes(2);
        readU16(a.port);
        readU32(flow);
        readBytes(a.bytes, 16);
        readU32(a.scopeId);
        address = a;
        return true;
    }
    m_read = start;
    return false;
}

bool CBitStream::readGuid(SGuid& guid)
{
    uint64_t v = 0;
    if (!readU64(v)) return false;
    guid.value = v;
    return true;
}

bool CBitStream::readMagic()
{
    uint8_t magic[16];
    const size_t start = m_read;
    if (!readBytes(magic, 16)) return false;
    if (memcmp(magic, OFFLINE_MAGIC, 16) != 0)
    {
        m_read = start;
        return false;
    }
    return true;
}

} // namespace kelvo::net::rudp
