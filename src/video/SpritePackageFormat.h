// The sprite package file format, written down once for every side that
// touches it: the runtime reader (CSpritePackageReader), the packer
// (CSpriteWriter) and the dump (SpritePackageDump).
//
// All integers are 32-bit signed little-endian; strings are bytes ended by a
// zero byte. In file order:
//   header        HEADER_FIELD_COUNT integers, in the order of EHeaderField
//   stored sizes  compressed versions only: one integer a page, the length of
//                 its zlib stream
//   pages         pageCount pages: pageByteSize() raw bytes each, or a zlib
//                 stream (with its zlib header) inflating to that many
//   images        imageCount image records
//   bundles       bundleCount bundle records
//   animations    animationCount animation records, in ascending byte order
//                 of name (lookups by name are binary searches)
//
// Image record:     name, id (below FIRST_BUNDLE_ID), offsetX, offsetY,
//                   [trimX, trimY], page, x, y, width, height,
//                   [originalWidth, originalHeight]
// Bundle record:    name, id (FIRST_BUNDLE_ID or above), offsetX, offsetY,
//                   [trimX, trimY], columns, partCount, then partCount image
//                   records: the parts in row-major order
// Animation record: name, frameCount n, n image or bundle ids, n steps (added
//                   to the frame index when the frame's time is up), n
//                   durations (milliseconds; a negative one never runs out)
// The bracketed fields are there from TRIM_VERSION and ORIGINAL_SIZE_VERSION.
// offsetX, offsetY place an image's top-left pixel relative to the sprite's
// origin (the hotspot, negated); the trim is added to them. Names of images
// and bundles are only for people: readers skip them.
//
// A page is planes of pageSize x pageSize bytes, rows top first; which planes
// EPagePixelFormat says.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::video::spritefile
{

constexpr int32_t INT_BYTES = 4;

// The header's integers, in file order.
enum EHeaderField
{
    HEADER_VERSION,
    HEADER_PAGE_SIZE,
    HEADER_PAGE_PIXEL_FORMAT,
    HEADER_PAGE_COUNT,
    HEADER_IMAGE_COUNT,
    HEADER_BUNDLE_COUNT,
    HEADER_ANIMATION_COUNT,
    HEADER_FIELD_COUNT
};
constexpr int32_t HEADER_SIZE = HEADER_FIELD_COUNT * INT_BYTES;

// Versions, and what each one adds.
constexpr int32_t OLDEST_VERSION = 0;
constexpr int32_t NEWEST_VERSION = 4;
// Image and bundle records carry trimX, trimY.
constexpr int32_t TRIM_VERSION = 2;
// Image records carry originalWidth, originalHeight.
constexpr int32_t ORIGINAL_SIZE_VERSION = 3;
// Pages are zlib streams after a table of their stored sizes, and
// PAGE_PACKED_ALPHA pages hold plain alpha.
constexpr int32_t COMPRESSED_VERSION = 4;

constexpr bool isVersion(int32_t version)
{
    return version >= OLDEST_VERSION && version <= NEWEST_VERSION;
}
constexpr bool hasTrim(int32_t version)
{
    return version >= TRIM_VERSION;
}
constexpr bool hasOriginalSize(int32_t version)
{
    return version >= ORIGINAL_SIZE_VERSION;
}
constexpr bool isCompressed(int32_t version)
{
    return version >= COMPRESSED_VERSION;
}

// What a page's planes hold.
enum EPagePixelFormat
{
    // Red, green and blue planes; every pixel opaque.
    PAGE_RGB = 0,
    // Red, green, blue and alpha planes.
    PAGE_RGBA = 1,
    // An alpha plane; every pixel white.
    PAGE_ALPHA = 2,
    // One plane of white pixels: packed alpha (packAlpha) before
    // COMPRESSED_VERSION, a plain alpha plane from it on.
    PAGE_PACKED_ALPHA = 3,
    PAGE_PIXEL_FORMAT_COUNT = 4
};

constexpr bool isPagePixelFormat(int32_t format)
{
    return format >= 0 && format < PAGE_PIXEL_FORMAT_COUNT;
}
// The planes of a page, which is also its bytes a pixel.
constexpr uint32_t pagePlaneCount(int32_t format)
{
    return format == PAGE_RGB ? 3 : format == PAGE_RGBA ? 4 : 1;
}

// Pages are at most this many pixels square, so a page's byte size (up to
// four bytes a pixel) always fits the image limits.
constexpr int32_t MAX_PAGE_SIZE = 8192;

// The bytes of one page before compression.
constexpr uint64_t pageByteSize(int32_t pageSize, int32_t format)
{
    return uint64_t(pageSize) * uint64_t(pageSize) * pagePlaneCount(format);
}

// Packed alpha: bit 7 marks a visible pixel, whose alpha is the low seven
// bits doubled; alpha below 2 is invisible.
constexpr uint8_t PACKED_VISIBLE = 0x80;
constexpr uint8_t packAlpha(uint8_t alpha)
{
    return alpha >= 2 ? uint8_t(PACKED_VISIBLE | (alpha >> 1)) : 0;
}
constexpr bool isPackedVisible(uint8_t packed)
{
    return (packed & PACKED_VISIBLE) != 0;
}
constexpr uint8_t unpackAlpha(uint8_t packed)
{
    return uint8_t(packed * 2);
}

// Image ids are below this, bundle ids from it on.
constexpr int32_t FIRST_BUNDLE_ID = 100000;

// Offsets, trims, hotspots and original sizes beyond this are not real
// sprites.
constexpr int32_t MAX_COORDINATE = 1 << 24;

// The integers of the records, by group, besides their names.
constexpr int32_t PLACEMENT_INTS = 3; // id, offsetX, offsetY
constexpr int32_t ON_PAGE_INTS = 5;   // page, x, y, width, height
constexpr int32_t GRID_INTS = 2;      // a bundle's columns, partCount
constexpr int32_t FRAME_INTS = 3;     // image id, step, duration

// The smallest records (an empty name and the oldest version), to bound
// every count by the bytes left before anything is made for it.
constexpr size_t MIN_IMAGE_RECORD_BYTES = 1 + (PLACEMENT_INTS + ON_PAGE_INTS) * INT_BYTES;
constexpr size_t MIN_BUNDLE_RECORD_BYTES = 1 + (PLACEMENT_INTS + GRID_INTS) * INT_BYTES;
constexpr size_t MIN_ANIMATION_RECORD_BYTES = 1 + INT_BYTES; // name, frameCount
constexpr size_t FRAME_BYTES = FRAME_INTS * INT_BYTES;

} // namespace zu::video::spritefile
