// CPhysics: one two-dimensional rigid-body world for the scripts, over Box2D.
//
// What it adds to the library: small integer ids for entities (bodies) and
// joints, a list per entity of the contacts it takes part in (kept by the
// world's listener, CPhysicsListener), one-sided edges, and the checks that
// keep script values the library would assert on out of the world (see
// PhysicsLimits.h). Units pass through unchanged: no scale factor anywhere.
//
// Ids that are not in their table are ignored by every operation. The
// listener runs inside step(), so contact lists may be read only between
// steps. Main thread only.
//
// Both tables are indexed by id, so a lookup costs one bounds check: entity
// ids are the smallest free ones from 1, joint ids count up and are never
// reused. Joints the library destroys together with a body are reported to
// the listener and their ids then behave as deleted ones.
//
// Callers need none of the library's headers; its types appear only as
// pointers, for the layer itself and for white-box tests.
#pragma once

#include "box2d/CPhysicsEntity.h"
#include "box2d/SPhysicsBodyDef.h"
#include "box2d/SPhysicsFilter.h"
#include "box2d/SPhysicsJointData.h"
#include "box2d/SPhysicsJointOptions.h"
#include "box2d/SRayCastHit.h"
#include "box2d/SVector2.h"

#include <cstdint>
#include <memory>
#include <vector>

class b2World;
class b2Joint;
struct b2JointDef;

namespace zu::box2d
{

class CPhysicsListener;

class CPhysics
{
  public:
    // The bounds are kept and reported; the library has no world box, so
    // bodies beyond them simply go on.
    CPhysics(const SVector2& lowerBound, const SVector2& upperBound, const SVector2& gravity);
    ~CPhysics();
    CPhysics(const CPhysics&) = delete;
    CPhysics& operator=(const CPhysics&) = delete;

    // False when the gravity given at construction was out of range: then
    // there is no world and every operation does nothing.
    bool hasWorld() const { return m_world != nullptr; }
    b2World* getWorld() const { return m_world; }
    const SVector2& getLowerBound() const { return m_lowerBound; }
    const SVector2& getUpperBound() const { return m_upperBound; }

    // The new id (the smallest free one from 1), or -1 without a world or
    // for a definition with a number out of range (or a negative damping).
    int createEntity(const SPhysicsBodyDef& def);
    void deleteEntity(int id);
    CPhysicsEntity* findEntity(int64_t id) const
    {
        return uint64_t(id) < m_entities.size() ? m_entities[size_t(id)] : nullptr;
    }

    // Joints between the bodies of two entities; points and the axis are in
    // world coordinates. Each returns the new id (1, 2, 3, ... never
    // reused) or -1. A value out of range (or an axis of no length) is
    // refused before an id is taken; a body joined to itself, a missing
    // world or the library's refusal still use one up.
    // Distance: rigid (no spring), as long as the anchors were apart.
    int createDistanceJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchorA,
                            const SVector2& anchorB, bool collideConnected);
    // Revolute and prismatic: the bodies do not collide with each other,
    // and the angle between them at creation is the reference angle. The
    // prismatic axis is stored as given (not normalised) in A's frame.
    int createRevoluteJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchor,
                            const SPhysicsJointOptions& options);
    int createPrismaticJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchor,
                             const SVector2& axis, const SPhysicsJointOptions& options);
    void deleteJoint(int64_t id);
    // The joint, or null for an unknown, deleted or destroyed one.
    b2Joint* findJoint(int64_t id) const
    {
        return uint64_t(id) < m_joints.size() ? m_joints[size_t(id)] : nullptr;
    }
    // False for an unknown, deleted or destroyed joint.
    bool getJointData(int64_t id, SPhysicsJointData& out) const;
    // Motors and limits of revolute and prismatic joints: the others, and
    // values out of range, give false and change nothing. A change wakes
    // both bodies. The motor force is a torque for a revolute joint.
    bool setJointMotorEnabled(int64_t id, bool enabled);
    bool setJointLimitEnabled(int64_t id, bool enabled);
    bool setJointMotorForce(int64_t id, float force);
    bool setJointMotorSpeed(int64_t id, float speed);
    // Revolute: B's angular speed minus A's; prismatic: the translation's
    // rate. False for other joints.
    bool getJointMotorSpeed(int64_t id, float& speed) const;

    // One step with `iterations` for both the velocity and the position
    // passes. A step that is negative, out of range, or long enough for
    // gravity alone to pass the speed limit, is refused (false).
    bool step(float timeStep, int iterations);

    // The first shape met by the segment p1 -> p2. With `solid`, a shape
    // that contains p1 is met at p1 (normal 0, 0). With a filter, only
    // fixtures the default collision rule lets collide with it count.
    bool rayCast(const SVector2& p1, const SVector2& p2, bool solid, const SPhysicsFilter* filter,
                 SRayCastHit& hit) const;

    // Sets the gravity and wakes every body; refused when out of range.
    bool setGravity(const SVector2& gravity);
    SVector2 getGravity() const;

  private:
    friend class CPhysicsListener;

    int createJoint(const b2JointDef& def);
    void destroyEntityBody(CPhysicsEntity* entity);
    // A joint destroyed with its body: its id behaves as a deleted one.
    void forgetJoint(const b2Joint* joint);

    b2World* m_world = nullptr;
    std::unique_ptr<CPhysicsListener> m_listener;
    SVector2 m_lowerBound;
    SVector2 m_upperBound;
    int m_nextEntityId = 1;
    // By id; slot 0 and free ids hold null, and the last slot is in use.
    std::vector<CPhysicsEntity*> m_entities{nullptr};
    int m_jointCounter = 0;
    // By id; null for deleted, destroyed and refused joints.
    std::vector<b2Joint*> m_joints{nullptr};
};

} // namespace zu::box2d
