// The red-blue swap of 24-bit rows the image decoders share. Reading and
// checking the file before decoding is CImageLoader's; integers in either
// byte order come from core/ByteOrder.h.
#pragma once

#include <cstdint>

namespace kelvo::video::loader
{

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
