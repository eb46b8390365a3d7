// SPhysicsTransform: where a body is: its origin and its rotation, given as
// the cosine and sine of its angle.
#pragma once

#include "box2d/SVector2.h"

namespace zu::box2d
{

struct SPhysicsTransform
{
    SVector2 position;
    float cosine = 1.0f;
    float sine = 0.0f;
};

} // namespace zu::box2d
