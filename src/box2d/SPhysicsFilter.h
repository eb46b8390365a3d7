// SPhysicsFilter: the collision filter of a fixture or a ray cast. Two
// fixtures with the same nonzero group collide exactly when it is positive;
// otherwise each one's category must meet the other's mask.
#pragma once

#include <cstdint>

namespace zu::box2d
{

struct SPhysicsFilter
{
    uint16_t category = 1;
    uint16_t mask = 0xFFFF;
    int16_t group = 0;
};

} // namespace zu::box2d
