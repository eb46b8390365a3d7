// SPhysicsBodyDef: what a script may say about a new entity's body.
#pragma once

namespace zu::box2d
{

struct SPhysicsBodyDef
{
    float x = 0.0f;
    float y = 0.0f;
    float linearDamping = 0.0f;
    float angularDamping = 0.0f;
    bool fixedRotation = false;
    bool bullet = false;
    bool allowSleep = true;
};

} // namespace zu::box2d
