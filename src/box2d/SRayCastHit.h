// SRayCastHit: the first shape a ray cast met.
#pragma once

#include "box2d/SVector2.h"
#include "core/CString.h"

namespace zu::box2d
{

struct SRayCastHit
{
    SVector2 point;
    SVector2 normal;
    // The hit fixture's text, or null; owned by the fixture.
    const core::CString* userData = nullptr;
    // 0 when the body has no entity.
    int entityId = 0;
};

} // namespace zu::box2d
