#include "box2d/CPhysicsListener.h"

#include "box2d/CPhysics.h"
#include "box2d/SPhysicsContact.h"

#include <box2d/box2d.h>

#include <climits>

namespace zu::box2d
{

CPhysicsListener::~CPhysicsListener()
{
    for (auto& entry : m_records)
        delete entry.second;
    m_records.clear();
}

void CPhysicsListener::forgetRecords(CPhysicsEntity& entity)
{
    for (SPhysicsContact* record : entity.getContacts())
    {
        CPhysicsEntity* other = record->entityA == &entity ? record->entityB : record->entityA;
        if (other && other != &entity) other->removeContact(record);
        for (auto it = m_records.begin(); it != m_records.end(); ++it)
            if (it->second == record)
            {
                m_records.erase(it);
                break;
            }
        delete record;
    }
    entity.getContacts().clear();
}

void CPhysicsListener::updateManifold(SPhysicsContact& record, b2Contact* contact)
{
    // A contact without points (a sensor) leaves the manifold untouched.
    b2WorldManifold manifold{};
    contact->GetWorldManifold(&manifold);
    record.normal = manifold.normal;
    record.point1 = manifold.points[0];
    record.point2 = manifold.points[1];
}

void CPhysicsListener::BeginContact(b2Contact* contact)
{
    CPhysicsEntity* a = CPhysicsEntity::ofFixture(contact->GetFixtureA());
    CPhysicsEntity* b = CPhysicsEntity::ofFixture(contact->GetFixtureB());
    if (!a || !b) return;
    SPhysicsContact*& record = m_records[contact];
    if (!record)
    {
        record = new SPhysicsContact;
        record->id = m_contactCounter;
        m_contactCounter = m_contactCounter == INT_MAX ? 0 : m_contactCounter + 1;
        record->entityA = a;
        record->fixtureA = contact->GetFixtureA();
        record->entityB = b;
        record->fixtureB = contact->GetFixtureB();
        a->getContacts().push_back(record);
        b->getContacts().push_back(record);
    }
    updateManifold(*record, contact);
    record->sensor = contact->GetFixtureA()->IsSensor() || contact->GetFixtureB()->IsSensor();
    record->touching = contact->IsTouching();
}

void CPhysicsListener::deleteRecord(b2Contact* contact)
{
    auto it = m_records.find(contact);
    if (it == m_records.end()) return;
    SPhysicsContact* record = it->second;
    if (record->entityA) record->entityA->removeContact(record);
    if (record->entityB) record->entityB->removeContact(record);
    delete record;
    m_records.erase(it);
}

void CPhysicsListener::EndContact(b2Contact* contact)
{
    deleteRecord(contact);
}

void CPhysicsListener::PreSolve(b2Contact* contact, const b2Manifold*)
{
    b2Fixture* edgeFixture;
    b2Body* other;
    if (contact->GetFixtureA()->GetType() == b2Shape::e_edge)
    {
        edgeFixture = contact->GetFixtureA();
        other = contact->GetFixtureB()->GetBody();
    }
    else if (contact->GetFixtureB()->GetType() == b2Shape::e_edge)
    {
        edgeFixture = contact->GetFixtureB();
        other = contact->GetFixtureA()->GetBody();
    }
    else
        return;
    if (other->GetType() != b2_dynamicBody) return;
    // Edges are one-sided: a body moving along the edge's normal (the
    // right-hand side of start -> end) passes through.
    const auto* edge = static_cast<const b2EdgeShape*>(edgeFixture->GetShape());
    b2Vec2 direction = edge->m_vertex2 - edge->m_vertex1;
    direction.Normalize();
    b2Vec2 normal =
        b2Mul(edgeFixture->GetBody()->GetTransform().q, b2Vec2(direction.y, -direction.x));
    b2Vec2 velocity = other->GetLinearVelocity();
    if (velocity.Length() >= 1.1920929e-7f) velocity.Normalize();
    if (b2Dot(normal, velocity) > 0.0f)
    {
        // Disabled for this step only; the library's solver needs the
        // contact's points left as they are.
        contact->SetEnabled(false);
        deleteRecord(contact);
    }
}

void CPhysicsListener::PostSolve(b2Contact* contact, const b2ContactImpulse* impulse)
{
    auto it = m_records.find(contact);
    if (it == m_records.end()) return;
    SPhysicsContact& record = *it->second;
    for (int i = 0; i < 2; ++i)
    {
        bool given = i < impulse->count;
        record.normalImpulses[i] = given ? impulse->normalImpulses[i] : 0.0f;
        record.tangentImpulses[i] = given ? impulse->tangentImpulses[i] : 0.0f;
    }
    record.touching = contact->IsTouching();
    updateManifold(record, contact);
}

void CPhysicsListener::SayGoodbye(b2Joint* joint)
{
    m_physics.forgetJoint(joint);
}

void CPhysicsListener::SayGoodbye(b2Fixture* fixture)
{
    delete reinterpret_cast<core::CString*>(fixture->GetUserData().pointer);
    fixture->GetUserData().pointer = 0;
}

} // namespace zu::box2d
