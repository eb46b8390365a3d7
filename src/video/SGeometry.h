// Plain geometry records of the drawing interface: integer positions and
// rectangles in render pixels, float vectors, triangles and boxes.
#pragma once

#include <cstdint>

namespace zu::video
{

struct SPosition2i
{
    int32_t x = 0;
    int32_t y = 0;
};

struct SVector2f
{
    float x = 0.f;
    float y = 0.f;
};

struct SVector3f
{
    float x = 0.f;
    float y = 0.f;
    float z = 0.f;
};

// Right and bottom are exclusive.
struct SRecti
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t getWidth() const { return right - left; }
    int32_t getHeight() const { return bottom - top; }

    // The part inside (0, 0, width, height), never of negative size; any
    // corners are taken, so widths of wild rectangles cannot overflow.
    SRecti clippedTo(int32_t width, int32_t height) const
    {
        auto clamp = [](int32_t v, int32_t low, int32_t high) {
            return v < low ? low : v > high ? high : v;
        };
        SRecti r;
        r.left = clamp(left, 0, width);
        r.top = clamp(top, 0, height);
        r.right = clamp(right, r.left, width);
        r.bottom = clamp(bottom, r.top, height);
        return r;
    }
};

struct STriangle3f
{
    SVector3f a, b, c;
};

struct SBox3f
{
    SVector3f minEdge, maxEdge;
};

} // namespace zu::video
