// SVector2: a point or direction in the physics world, as the layer hands it
// to its callers, so that they need none of the library's headers.
#pragma once

namespace zu::box2d
{

struct SVector2
{
    float x = 0.0f;
    float y = 0.0f;
};

inline bool operator==(const SVector2& a, const SVector2& b)
{
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const SVector2& a, const SVector2& b)
{
    return !(a == b);
}

} // namespace zu::box2d
