// Byte order for the binary formats the engine reads and writes: little-endian
// for script files, compressed files, archives, sprite packages and most
// images, big-endian for PSD images. Values are assembled from bytes, so they
// read the same on any host and never from a misaligned address.
#pragma once

#include <cstdint>

namespace zu::core
{

inline uint16_t readLE16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t readLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint16_t readBE16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

inline uint32_t readBE32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void writeLE16(uint8_t* p, uint16_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

inline void writeLE32(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

} // namespace zu::core
