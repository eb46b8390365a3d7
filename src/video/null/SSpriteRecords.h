// The tables of a sprite package as read from its file: image and bundle
// records (with the trim already added to the offsets) and animations.
#pragma once

#include "core/CString.h"
#include "core/SDimension.h"
#include "video/SGeometry.h"

#include <cstdint>
#include <vector>

namespace kelvo::video
{

// An image on a page: its rectangle there and where it sits relative to the
// sprite origin.
struct SSpriteImageRecord
{
    int32_t id = 0;
    zu::video::SPosition2i offset;         // trim included
    zu::video::SPosition2i originalOffset; // without the trim
    int32_t page = 0;
    zu::video::SRecti sourceRect;
    zu::core::SDimension2i originalSize;
};

// A picture assembled from a grid of parts in row-major order.
struct SSpriteBundleRecord
{
    int32_t id = 0;
    zu::video::SPosition2i offset;
    zu::video::SPosition2i originalOffset;
    int32_t columns = 0;
    std::vector<SSpriteImageRecord> parts;
};

struct SSpriteAnimationRecord
{
    zu::core::CString name;
    int32_t id = 0;
    std::vector<int32_t> imageIds;
    std::vector<int32_t> steps;
    // Milliseconds; negative never runs out.
    std::vector<int32_t> durations;
};

// The records of one package file, in file order.
struct SSpritePackageTables
{
    std::vector<SSpriteImageRecord> images;
    std::vector<SSpriteBundleRecord> bundles;
    std::vector<SSpriteAnimationRecord> animations;
};

// A sum kept inside the 32-bit range, for positions that scripts and files
// can push anywhere.
inline int32_t clampToInt32(int64_t value)
{
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : int32_t(value);
}

} // namespace kelvo::video
