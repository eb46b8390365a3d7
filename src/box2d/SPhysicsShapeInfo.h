// SPhysicsShapeInfo: one shape of a body in world coordinates, as scripts see
// it: circles with their centre and radius, polygons (boxes too) with their
// vertices in the stored order, and nothing more for anything else (edges).
#pragma once

#include "box2d/PhysicsLimits.h"
#include "box2d/SVector2.h"

namespace zu::box2d
{

struct SPhysicsShapeInfo
{
    enum EType
    {
        EST_OTHER = 0,
        EST_CIRCLE,
        EST_POLYGON
    };

    EType type = EST_OTHER;
    SVector2 center;
    float radius = 0.0f;
    int vertexCount = 0;
    SVector2 vertices[MAX_POLYGON_VERTICES];
};

} // namespace zu::box2d
