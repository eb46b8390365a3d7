// SPhysicsFixtureDef: the material, filter and text of one shape added to an
// entity, with the defaults scripts get for keys they leave out.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::box2d
{

struct SPhysicsFixtureDef
{
    float density = 0.0f;
    float friction = 0.2f;
    float restitution = 0.0f;
    bool isSensor = false;
    uint16_t category = 1;
    uint16_t mask = 0xFFFF;
    int16_t group = 0;
    bool hasUserData = false;
    core::CString userData;
};

} // namespace zu::box2d
