// SPhysicsCollision: one contact seen from one entity's side: the point, the
// normal pointing away from that entity, the other entity and the text of
// the other fixture.
#pragma once

#include "box2d/SVector2.h"
#include "core/CString.h"

namespace zu::box2d
{

struct SPhysicsCollision
{
    SVector2 point;
    SVector2 normal;
    int otherId = 0;
    // Owned by the other fixture; valid until the world changes.
    const core::CString* otherUserData = nullptr;
    float impulse = 0.0f;
};

} // namespace zu::box2d
