// SPhysicsContact: what the world tells us about one touching contact between
// two bodies that both belong to entities. The contact listener of the world
// (CPhysicsListener) makes, updates and deletes these; each is listed by both
// of its entities. Private to the physics layer.
#pragma once

#include <box2d/b2_math.h>

#include <cstdint>

class b2Fixture;

namespace zu::box2d
{

class CPhysicsEntity;

struct SPhysicsContact
{
    int id = 0;
    // World normal of the manifold, pointing from fixture A towards fixture B.
    b2Vec2 normal = b2Vec2_zero;
    b2Vec2 point1 = b2Vec2_zero;
    b2Vec2 point2 = b2Vec2_zero;
    float normalImpulses[2] = {0.0f, 0.0f};
    float tangentImpulses[2] = {0.0f, 0.0f};
    uint8_t sensor = 0;
    uint8_t touching = 0;
    CPhysicsEntity* entityA = nullptr;
    CPhysicsEntity* entityB = nullptr;
    b2Fixture* fixtureA = nullptr;
    b2Fixture* fixtureB = nullptr;
};

} // namespace zu::box2d
