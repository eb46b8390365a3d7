// CPhysicsListener: the contact and destruction listener of one physics
// world. It keeps the contact records of the entities (one per touching
// contact between two entity bodies, listed by both), makes edges
// one-sided, deletes fixture texts with their fixtures and tells the world
// of joints destroyed with their bodies.
//
// The library's contacts carry no user data in this version, so a map from
// contact to record stands in. Private to the physics layer.
#pragma once

#include <box2d/b2_world_callbacks.h>

#include <unordered_map>

namespace zu::box2d
{

class CPhysics;
class CPhysicsEntity;
struct SPhysicsContact;

class CPhysicsListener : public b2ContactListener, public b2DestructionListener
{
  public:
    explicit CPhysicsListener(CPhysics& physics) : m_physics(physics) {}
    ~CPhysicsListener() override;
    CPhysicsListener(const CPhysicsListener&) = delete;
    CPhysicsListener& operator=(const CPhysicsListener&) = delete;

    // Deletes the records still listed by an entity whose body is gone,
    // unlisting them from the other entities too: the library does not
    // report the end of a contact without points when it destroys it.
    void forgetRecords(CPhysicsEntity& entity);

    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture* fixture) override;

  private:
    static void updateManifold(SPhysicsContact& record, b2Contact* contact);
    void deleteRecord(b2Contact* contact);

    CPhysics& m_physics;
    int m_contactCounter = 0;
    std::unordered_map<b2Contact*, SPhysicsContact*> m_records;
};

} // namespace zu::box2d
