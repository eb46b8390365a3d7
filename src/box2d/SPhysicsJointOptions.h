// SPhysicsJointOptions: the limit and motor of a revolute joint (angles,
// torque) or a prismatic joint (translations, force). A lower limit above 0
// and an upper limit below 0 count as 0, so the limits always enclose the
// starting position.
#pragma once

namespace zu::box2d
{

struct SPhysicsJointOptions
{
    float lower = 0.0f;
    float upper = 0.0f;
    // The motor's maximum torque (revolute) or force (prismatic).
    float maxMotor = 0.0f;
    float motorSpeed = 0.0f;
    bool enableLimit = false;
    bool enableMotor = false;
};

} // namespace zu::box2d
