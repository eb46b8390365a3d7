// Small helpers the image loaders share: the whole file read into memory, so
// every field is checked against the bytes that really exist, and integer
// reads in either byte order.
#pragma once

#include "io/IReadFile.h"

#include <cstdint>
#include <vector>

namespace kelvo::video::loader
{

// Largest image file a loader reads.
constexpr int32_t MAX_FILE_BYTES = 512 << 20;

// The file's bytes from its start; false when it can't be read whole.
inline bool readWholeFile(zu::io::IReadFile* file, std::vector<uint8_t>& bytes)
{
    int32_t size = file->getSize();
    if (size < 0 || size > MAX_FILE_BYTES || !file->seek(0))
        return false;
    bytes.resize(size_t(size));
    int32_t got = size ? file->read(bytes.data(), uint32_t(size)) : 0;
    bytes.resize(size_t(got < 0 ? 0 : got));
    return true;
}

// The first bytes of the file from its current position.
inline uint32_t peek(zu::io::IReadFile* file, uint8_t* out, uint32_t count)
{
    int32_t got = file->read(out, count);
    return got < 0 ? 0u : uint32_t(got);
}

inline uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
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
