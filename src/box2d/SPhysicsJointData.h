// SPhysicsJointData: the state of one joint: its anchors in world
// coordinates and, for the kinds that move along one degree of freedom, how
// far they have moved and how fast.
#pragma once

#include "box2d/SVector2.h"

namespace zu::box2d
{

struct SPhysicsJointData
{
    enum EType
    {
        EJT_OTHER = 0,
        EJT_DISTANCE,
        EJT_REVOLUTE,
        EJT_PRISMATIC
    };

    EType type = EJT_OTHER;
    SVector2 anchorA;
    SVector2 anchorB;
    // Revolute: B's angle minus A's minus the angle between them at creation.
    float angle = 0.0f;
    // Prismatic: the translation along the axis.
    float translation = 0.0f;
    // Revolute: B's angular speed minus A's; prismatic: the translation's rate.
    float speed = 0.0f;
};

} // namespace zu::box2d
