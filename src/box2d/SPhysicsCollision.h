// SPhysicsCollision: one contact seen from one entity's side: the point, the
// normal pointing away from that entity, the other entity and the text of
// the other fixture.
#pragma once

#include "core/CString.h"

#include <box2d/b2_math.h>

namespace zu::box2d
{

struct SPhysicsCollision
{
    b2Vec2 point = b2Vec2_zero;
    b2Vec2 normal = b2Vec2_zero;
    int otherId = 0;
    // Owned by the other fixture; valid until the world changes.
    const core::CString* otherUserData = nullptr;
    float impulse = 0.0f;
};

} // namespace zu::box2d
