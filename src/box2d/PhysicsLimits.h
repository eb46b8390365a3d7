// The ranges of values the physics layer lets into the world.
//
// Box2D checks its inputs with live assertions, and a NaN or an overflow that
// reaches its solver can trip one several steps later. So every number that
// comes from a script is checked here first: it must be finite and no larger
// in magnitude than MAX_VALUE. Together with the mass range, the speed limit
// held between steps and the restitution limit, this keeps every product the
// solver forms inside the float range: an impulse is at most mass x
// restitution x speed (1e15 x 1e3 x 3e9), and its moment about a centre of
// mass at most 2e9 times that, still below 3.4e38.
#pragma once

#include "box2d/SVector2.h"

#include <cmath>

namespace zu::box2d
{

constexpr float MAX_VALUE = 1.0e9f;
constexpr double MAX_SPEED = 1.0e9;
constexpr float MAX_RESTITUTION = 1000.0f;
// A body lighter or heavier than this stays static when activated: the
// inverse mass and the weight must both be far from the float limits.
constexpr double MIN_MASS = 1.0e-15;
constexpr double MAX_MASS = 1.0e15;
// The largest iteration count a step accepts.
constexpr int MAX_ITERATIONS = 1000;
// The most vertices a polygon may have (the library's own limit).
constexpr int MAX_POLYGON_VERTICES = 8;

inline bool isUsable(float value)
{
    return std::isfinite(value) && std::fabs(value) <= MAX_VALUE;
}
inline bool isUsable(const SVector2& v)
{
    return isUsable(v.x) && isUsable(v.y);
}

} // namespace zu::box2d
