#include "box2d/CPhysics.h"

#include "box2d/FilterFixture.h"
#include "box2d/PhysicsLimits.h"

#include <box2d/box2d.h>

#include <climits>
#include <cmath>

namespace zu::box2d
{
namespace
{

// The nearest fixture along the segment, skipping those the filter keeps out.
class CClosestRayCast : public b2RayCastCallback
{
public:
    explicit CClosestRayCast(const FilterFixture* filter) : m_filter(filter) {}

    float ReportFixture(b2Fixture* fixture, const b2Vec2&, const b2Vec2&, float fraction) override
    {
        if (m_filter && !m_filter->shouldCollide(fixture))
            return -1.0f;
        m_fixture = fixture;
        return fraction;
    }

    const FilterFixture* m_filter;
    b2Fixture* m_fixture = nullptr;
};

// The first fixture that contains a point.
class CContainingQuery : public b2QueryCallback
{
public:
    CContainingQuery(const b2Vec2& point, const FilterFixture* filter)
        : m_point(point), m_filter(filter)
    {
    }

    bool ReportFixture(b2Fixture* fixture) override
    {
        if (m_filter && !m_filter->shouldCollide(fixture))
            return true;
        if (!fixture->TestPoint(m_point))
            return true;
        m_fixture = fixture;
        return false;
    }

    b2Vec2 m_point;
    const FilterFixture* m_filter;
    b2Fixture* m_fixture = nullptr;
};

} // namespace

CPhysics::CPhysics(const b2Vec2& lowerBound, const b2Vec2& upperBound, const b2Vec2& gravity)
    : m_lowerBound(lowerBound), m_upperBound(upperBound)
{
    if (!isUsable(gravity))
        return;
    m_world = new b2World(gravity);
    m_world->SetAllowSleeping(true);
    m_world->SetContactListener(this);
    m_world->SetDestructionListener(this);
}

CPhysics::~CPhysics()
{
    for (CPhysicsEntity* entity : m_entities)
        if (entity)
        {
            destroyEntityBody(entity);
            delete entity;
        }
    delete m_world;
    m_world = nullptr;
    m_entities.clear();
    m_joints.clear();
    for (auto& entry : m_records)
        delete entry.second;
    m_records.clear();
}

CPhysicsEntity* CPhysics::entityOf(const b2Fixture* fixture)
{
    const b2Body* body = fixture->GetBody();
    return body ? reinterpret_cast<CPhysicsEntity*>(
                      const_cast<b2Body*>(body)->GetUserData().pointer)
                : nullptr;
}

int CPhysics::createEntity(const SPhysicsBodyDef& def)
{
    if (!m_world || !isUsable(def.x) || !isUsable(def.y) || !isUsable(def.linearDamping) ||
        !isUsable(def.angularDamping) || def.linearDamping < 0.0f || def.angularDamping < 0.0f)
        return -1;
    int id = m_nextEntityId++;
    while (size_t(id) < m_entities.size() && m_entities[size_t(id)])
        id = m_nextEntityId++;

    auto* entity = new CPhysicsEntity(id);
    b2BodyDef bd;
    bd.type = b2_staticBody;
    bd.position.Set(def.x, def.y);
    bd.linearDamping = def.linearDamping;
    bd.angularDamping = def.angularDamping;
    bd.fixedRotation = def.fixedRotation;
    bd.bullet = def.bullet;
    bd.allowSleep = def.allowSleep;
    bd.userData.pointer = reinterpret_cast<uintptr_t>(entity);
    entity->setBody(m_world->CreateBody(&bd));
    if (size_t(id) >= m_entities.size())
        m_entities.resize(size_t(id) + 1, nullptr);
    m_entities[size_t(id)] = entity;
    return id;
}

void CPhysics::destroyEntityBody(CPhysicsEntity* entity)
{
    if (b2Body* body = entity->getBody())
    {
        // Ends the touching contacts through EndContact and reports the
        // fixtures (whose texts go there) and joints of the body to SayGoodbye.
        m_world->DestroyBody(body);
        entity->setBody(nullptr);
    }
    // What the library did not report (contacts without points, such as
    // sensors it does not count as touching) leaves both lists here.
    for (SPhysicsContact* record : entity->getContacts())
    {
        CPhysicsEntity* other = record->entityA == entity ? record->entityB : record->entityA;
        if (other && other != entity)
            other->removeContact(record);
        for (auto it = m_records.begin(); it != m_records.end(); ++it)
            if (it->second == record)
            {
                m_records.erase(it);
                break;
            }
        delete record;
    }
    entity->getContacts().clear();
}

void CPhysics::deleteEntity(int id)
{
    CPhysicsEntity* entity = findEntity(id);
    if (!entity)
        return;
    destroyEntityBody(entity);
    delete entity;
    m_entities[size_t(id)] = nullptr;
    // The table ends at the largest id in use, so steps walk no empty tail.
    while (m_entities.size() > 1 && !m_entities.back())
        m_entities.pop_back();
    if (id < m_nextEntityId)
        m_nextEntityId = id;
}

int CPhysics::createJoint(const b2JointDef& def)
{
    // Ids are never used twice; when they run out no joint is made.
    if (m_jointCounter == INT_MAX)
        return -1;
    int id = ++m_jointCounter;
    // The library asserts on a joint between a body and itself.
    if (!m_world || !def.bodyA || !def.bodyB || def.bodyA == def.bodyB)
        return -1;
    b2Joint* joint = m_world->CreateJoint(&def);
    if (!joint)
        return -1;
    // The id goes with the joint, so the listener finds its slot at once.
    joint->GetUserData().pointer = uintptr_t(id);
    if (size_t(id) >= m_joints.size())
        m_joints.resize(size_t(id) + 1, nullptr);
    m_joints[size_t(id)] = joint;
    return id;
}

void CPhysics::deleteJoint(int64_t id)
{
    b2Joint* joint = findJoint(id);
    if (!joint)
        return;
    m_world->DestroyJoint(joint);
    m_joints[size_t(id)] = nullptr;
}

bool CPhysics::step(float timeStep, int iterations)
{
    if (!m_world || !isUsable(timeStep) || timeStep < 0.0f)
        return false;
    b2Vec2 gravity = m_world->GetGravity();
    if (std::fabs(double(timeStep) * gravity.x) > MAX_SPEED ||
        std::fabs(double(timeStep) * gravity.y) > MAX_SPEED)
        return false;
    iterations = iterations < 0 ? 0 : iterations > MAX_ITERATIONS ? MAX_ITERATIONS : iterations;
    for (CPhysicsEntity* entity : m_entities)
        if (entity)
            entity->beforeStep(timeStep, gravity);
    m_world->Step(timeStep, iterations, iterations);
    for (CPhysicsEntity* entity : m_entities)
        if (entity)
            entity->afterStep(timeStep);
    return true;
}

bool CPhysics::rayCast(const b2Vec2& p1, const b2Vec2& p2, bool solid, const b2Filter* filter,
                       SRayCastHit& hit) const
{
    if (!m_world || (p1.x == p2.x && p1.y == p2.y) || !isUsable(p1) || !isUsable(p2))
        return false;
    // The library asserts that the segment has a length in float.
    if (!((p2 - p1).LengthSquared() > 0.0f))
        return false;
    FilterFixture filterFixture(filter ? *filter : b2Filter());
    const FilterFixture* useFilter = filter ? &filterFixture : nullptr;

    if (solid)
    {
        CContainingQuery query(p1, useFilter);
        b2AABB box;
        box.lowerBound = p1;
        box.upperBound = p1;
        m_world->QueryAABB(&query, box);
        if (query.m_fixture)
        {
            hit.point = p1;
            hit.normal.SetZero();
            hit.userData = CPhysicsEntity::getFixtureText(query.m_fixture);
            CPhysicsEntity* entity = entityOf(query.m_fixture);
            hit.entityId = entity ? entity->getId() : 0;
            return true;
        }
    }

    CClosestRayCast cast(useFilter);
    m_world->RayCast(&cast, p1, p2);
    if (!cast.m_fixture)
        return false;
    // Once more against the hit shape alone, for the fraction and normal.
    b2RayCastInput input;
    input.p1 = p1;
    input.p2 = p2;
    input.maxFraction = 1.0f;
    b2RayCastOutput output;
    if (!cast.m_fixture->RayCast(&output, input, 0))
        return false;
    float lambda = output.fraction;
    hit.point = (1.0f - lambda) * p1 + lambda * p2;
    hit.normal = output.normal;
    hit.userData = CPhysicsEntity::getFixtureText(cast.m_fixture);
    CPhysicsEntity* entity = entityOf(cast.m_fixture);
    hit.entityId = entity ? entity->getId() : 0;
    return true;
}

bool CPhysics::setGravity(const b2Vec2& gravity)
{
    if (!m_world || !isUsable(gravity))
        return false;
    m_world->SetGravity(gravity);
    for (b2Body* body = m_world->GetBodyList(); body; body = body->GetNext())
        body->SetAwake(true);
    for (CPhysicsEntity* entity : m_entities)
        if (entity)
            entity->wakeUp();
    return true;
}

b2Vec2 CPhysics::getGravity() const { return m_world ? m_world->GetGravity() : b2Vec2_zero; }

void CPhysics::updateManifold(SPhysicsContact& record, b2Contact* contact)
{
    // A contact without points (a sensor) leaves the manifold untouched.
    b2WorldManifold manifold{};
    contact->GetWorldManifold(&manifold);
    record.normal = manifold.normal;
    record.point1 = manifold.points[0];
    record.point2 = manifold.points[1];
}

void CPhysics::BeginContact(b2Contact* contact)
{
    CPhysicsEntity* a = entityOf(contact->GetFixtureA());
    CPhysicsEntity* b = entityOf(contact->GetFixtureB());
    if (!a || !b)
        return;
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

void CPhysics::deleteRecord(b2Contact* contact)
{
    auto it = m_records.find(contact);
    if (it == m_records.end())
        return;
    SPhysicsContact* record = it->second;
    if (record->entityA)
        record->entityA->removeContact(record);
    if (record->entityB)
        record->entityB->removeContact(record);
    delete record;
    m_records.erase(it);
}

void CPhysics::EndContact(b2Contact* contact) { deleteRecord(contact); }

void CPhysics::PreSolve(b2Contact* contact, const b2Manifold*)
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
    if (other->GetType() != b2_dynamicBody)
        return;
    // Edges are one-sided: a body moving along the edge's normal (the
    // right-hand side of start -> end) passes through.
    const auto* edge = static_cast<const b2EdgeShape*>(edgeFixture->GetShape());
    b2Vec2 direction = edge->m_vertex2 - edge->m_vertex1;
    direction.Normalize();
    b2Vec2 normal = b2Mul(edgeFixture->GetBody()->GetTransform().q,
                          b2Vec2(direction.y, -direction.x));
    b2Vec2 velocity = other->GetLinearVelocity();
    if (velocity.Length() >= 1.1920929e-7f)
        velocity.Normalize();
    if (b2Dot(normal, velocity) > 0.0f)
    {
        // Disabled for this step only; the library's solver needs the
        // contact's points left as they are.
        contact->SetEnabled(false);
        deleteRecord(contact);
    }
}

void CPhysics::PostSolve(b2Contact* contact, const b2ContactImpulse* impulse)
{
    auto it = m_records.find(contact);
    if (it == m_records.end())
        return;
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

void CPhysics::SayGoodbye(b2Joint* joint)
{
    uintptr_t id = joint->GetUserData().pointer;
    if (id < m_joints.size() && m_joints[id] == joint)
        m_joints[id] = nullptr;
}

void CPhysics::SayGoodbye(b2Fixture* fixture)
{
    delete reinterpret_cast<core::CString*>(fixture->GetUserData().pointer);
    fixture->GetUserData().pointer = 0;
}

} // namespace zu::box2d
