// CPhysics: one two-dimensional rigid-body world for the scripts, over Box2D.
//
// What it adds to the library: small integer ids for entities (bodies) and
// joints, a list per entity of the contacts it takes part in (kept by the
// contact listener below), one-sided edges, and the checks that keep script
// values the library would assert on out of the world (see PhysicsLimits.h).
// Units pass through unchanged: no scale factor anywhere.
//
// Ids that are not in their table are ignored by every operation. The
// listener runs inside step(), so contact lists may be read only between
// steps. Main thread only.
//
// Both tables are indexed by id, so a lookup costs one bounds check: entity
// ids are the smallest free ones from 1, joint ids count up and are never
// reused. Joints the library destroys together with a body are reported to
// the destruction listener and their ids then behave as deleted ones.
//
// The library's contacts carry no user data in this version, so a map from
// contact to record stands in.
#pragma once

#include "box2d/CPhysicsEntity.h"
#include "box2d/SPhysicsBodyDef.h"
#include "box2d/SRayCastHit.h"

#include <box2d/b2_world_callbacks.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

class b2World;
class b2Joint;
struct b2JointDef;
struct b2Filter;

namespace zu::box2d
{

class CPhysics : public b2ContactListener, public b2DestructionListener
{
public:
    // The bounds are kept and reported; the library has no world box, so
    // bodies beyond them simply go on.
    CPhysics(const b2Vec2& lowerBound, const b2Vec2& upperBound, const b2Vec2& gravity);
    ~CPhysics() override;
    CPhysics(const CPhysics&) = delete;
    CPhysics& operator=(const CPhysics&) = delete;

    // False when the gravity given at construction was out of range: then
    // there is no world and every operation does nothing.
    bool hasWorld() const { return m_world != nullptr; }
    b2World* getWorld() const { return m_world; }
    const b2Vec2& getLowerBound() const { return m_lowerBound; }
    const b2Vec2& getUpperBound() const { return m_upperBound; }

    // The new id (the smallest free one from 1), or -1 without a world or
    // for a definition with a number out of range (or a negative damping).
    int createEntity(const SPhysicsBodyDef& def);
    void deleteEntity(int id);
    CPhysicsEntity* findEntity(int64_t id) const
    {
        return uint64_t(id) < m_entities.size() ? m_entities[size_t(id)] : nullptr;
    }

    // The new id (1, 2, 3, ... never reused), or -1 when the joint is
    // refused: a body joined to itself, no world, or the library's refusal.
    // The counter advances either way.
    int createJoint(const b2JointDef& def);
    void deleteJoint(int64_t id);
    // The joint, or null for an unknown, deleted or destroyed one.
    b2Joint* findJoint(int64_t id) const
    {
        return uint64_t(id) < m_joints.size() ? m_joints[size_t(id)] : nullptr;
    }

    // One step with `iterations` for both the velocity and the position
    // passes. A step that is negative, out of range, or long enough for
    // gravity alone to pass the speed limit, is refused (false).
    bool step(float timeStep, int iterations);

    // The first shape met by the segment p1 -> p2. With `solid`, a shape
    // that contains p1 is met at p1 (normal 0, 0). With a filter, only
    // fixtures the default collision rule lets collide with it count.
    bool rayCast(const b2Vec2& p1, const b2Vec2& p2, bool solid, const b2Filter* filter,
                 SRayCastHit& hit) const;

    // Sets the gravity and wakes every body; refused when out of range.
    bool setGravity(const b2Vec2& gravity);
    b2Vec2 getGravity() const;

    // The contact listener.
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

    // The destruction listener: joints destroyed with their bodies.
    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture* fixture) override;

private:
    static CPhysicsEntity* entityOf(const b2Fixture* fixture);
    static void updateManifold(SPhysicsContact& record, b2Contact* contact);
    void deleteRecord(b2Contact* contact);
    void destroyEntityBody(CPhysicsEntity* entity);

    b2World* m_world = nullptr;
    b2Vec2 m_lowerBound;
    b2Vec2 m_upperBound;
    int m_nextEntityId = 1;
    // By id; slot 0 and free ids hold null, and the last slot is in use.
    std::vector<CPhysicsEntity*> m_entities{nullptr};
    int m_jointCounter = 0;
    // By id; null for deleted, destroyed and refused joints.
    std::vector<b2Joint*> m_joints{nullptr};
    int m_contactCounter = 0;
    std::unordered_map<b2Contact*, SPhysicsContact*> m_records;
};

} // namespace zu::box2d
