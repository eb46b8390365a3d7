// Conversions between the layer's own records and the library's types.
// Private to the physics layer: only its .cpp files include this.
#pragma once

#include "box2d/PhysicsLimits.h"
#include "box2d/SPhysicsFilter.h"
#include "box2d/SVector2.h"

#include <box2d/b2_fixture.h>
#include <box2d/b2_math.h>
#include <box2d/b2_settings.h>

namespace zu::box2d
{

static_assert(MAX_POLYGON_VERTICES == b2_maxPolygonVertices,
              "the polygon limit follows the library");

inline b2Vec2 toB2(const SVector2& v)
{
    return b2Vec2(v.x, v.y);
}
inline SVector2 toVector(const b2Vec2& v)
{
    return {v.x, v.y};
}

inline b2Filter toB2(const SPhysicsFilter& f)
{
    b2Filter filter;
    filter.categoryBits = f.category;
    filter.maskBits = f.mask;
    filter.groupIndex = f.group;
    return filter;
}

inline bool isUsable(const b2Vec2& v)
{
    return isUsable(v.x) && isUsable(v.y);
}

} // namespace zu::box2d
