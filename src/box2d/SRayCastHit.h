// SRayCastHit: the first shape a ray cast met.
#pragma once

#include "core/CString.h"

#include <box2d/b2_math.h>

namespace zu::box2d
{

struct SRayCastHit
{
    b2Vec2 point = b2Vec2_zero;
    b2Vec2 normal = b2Vec2_zero;
    // The hit fixture's text, or null; owned by the fixture.
    const core::CString* userData = nullptr;
    // 0 when the body has no entity.
    int entityId = 0;
};

} // namespace zu::box2d
