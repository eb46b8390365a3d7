// Small helpers the image decoders share: integer reads in either byte order
// and the red-blue swap of 24-bit rows. Reading and checking the file before
// decoding is CImageLoader's.
#pragma once

#include <cstdint>

namespace kelvo::video::loader
{

inline uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t be16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}
inline uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// One row of 24-bit pixels from the files' blue, green, red order to red,
// green, blue.
inline void swapRedBlue(const uint8_t* in, uint8_t* out, int64_t width)
{
    for (int64_t x = 0; x < width; ++x)
    {
        out[x * 3 + 0] = in[x * 3 + 2];
        out[x * 3 + 1] = in[x * 3 + 1];
        out[x * 3 + 2] = in[x * 3 + 0];
    }
}

} // namespace kelvo::video::loader
