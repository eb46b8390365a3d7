#include "box2d/CPhysics.h"

#include "box2d/CPhysicsListener.h"
#include "box2d/FilterFixture.h"
#include "box2d/PhysicsLimits.h"
#include "box2d/PhysicsVectors.h"
#include "box2d/SPhysicsContact.h"

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
        if (m_filter && !m_filter->shouldCollide(fixture)) return -1.0f;
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
        if (m_filter && !m_filter->shouldCollide(fixture)) return true;
        if (!fixture->TestPoint(m_point)) return true;
        m_fixture = fixture;
        return false;
    }

    b2Vec2 m_point;
    const FilterFixture* m_filter;
    b2Fixture* m_fixture = nullptr;
};

void wakeBody(b2Body* body)
{
    if (CPhysicsEntity* entity = CPhysicsEntity::ofBody(body))
        entity->wakeUp();
    else
        body->SetAwake(true);
}

// Runs an action on a revolute or prismatic joint and wakes both its bodies;
// false for other joints.
template <class Revolute, class Prismatic>
bool motorAction(b2Joint* joint, Revolute revolute, Prismatic prismatic)
{
    if (!joint) return false;
    if (joint->GetType() == e_revoluteJoint)
        revolute(static_cast<b2RevoluteJoint*>(joint));
    else if (joint->GetType() == e_prismaticJoint)
        prismatic(static_cast<b2PrismaticJoint*>(joint));
    else
        return false;
    wakeBody(joint->GetBodyA());
    wakeBody(joint->GetBodyB());
    return true;
}

// Limits always enclose the starting position.
SPhysicsJointOptions enclosing(SPhysicsJointOptions o)
{
    if (o.lower > 0.0f) o.lower = 0.0f;
    if (o.upper < 0.0f) o.upper = 0.0f;
    return o;
}

bool usableOptions(const SPhysicsJointOptions& o)
{
    return isUsable(o.lower) && isUsable(o.upper) && isUsable(o.maxMotor) && isUsable(o.motorSpeed);
}

} // namespace

CPhysics::CPhysics(const SVector2& lowerBound, const SVector2& upperBound, const SVector2& gravity)
    : m_lowerBound(lowerBound), m_upperBound(upperBound)
{
    if (!isUsable(gravity)) return;
    m_listener = std::make_unique<CPhysicsListener>(*this);
    m_world = new b2World(toB2(gravity));
    m_world->SetAllowSleeping(true);
    m_world->SetContactListener(m_listener.get());
    m_world->SetDestructionListener(m_listener.get());
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
    // The listener goes last, with the records nobody listed any more.
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
    if (size_t(id) >= m_entities.size()) m_entities.resize(size_t(id) + 1, nullptr);
    m_entities[size_t(id)] = entity;
    return id;
}

void CPhysics::destroyEntityBody(CPhysicsEntity* entity)
{
    if (b2Body* body = entity->getBody())
    {
        // Ends the touching contacts through EndContact and reports the
        // fixtures (whose texts go there) and joints of the body to the
        // destruction listener.
        m_world->DestroyBody(body);
        entity->setBody(nullptr);
    }
    // What the library did not report (contacts without points, such as
    // sensors it does not count as touching) leaves both lists here.
    m_listener->forgetRecords(*entity);
}

void CPhysics::deleteEntity(int id)
{
    CPhysicsEntity* entity = findEntity(id);
    if (!entity) return;
    destroyEntityBody(entity);
    delete entity;
    m_entities[size_t(id)] = nullptr;
    // The table ends at the largest id in use, so steps walk no empty tail.
    while (m_entities.size() > 1 && !m_entities.back())
        m_entities.pop_back();
    if (id < m_nextEntityId) m_nextEntityId = id;
}

int CPhysics::createJoint(const b2JointDef& def)
{
    // Ids are never used twice; when they run out no joint is made.
    if (m_jointCounter == INT_MAX) return -1;
    int id = ++m_jointCounter;
    // The library asserts on a joint between a body and itself.
    if (!m_world || !def.bodyA || !def.bodyB || def.bodyA == def.bodyB) return -1;
    b2Joint* joint = m_world->CreateJoint(&def);
    if (!joint) return -1;
    // The id goes with the joint, so the listener finds its slot at once.
    joint->GetUserData().pointer = uintptr_t(id);
    if (size_t(id) >= m_joints.size()) m_joints.resize(size_t(id) + 1, nullptr);
    m_joints[size_t(id)] = joint;
    return id;
}

int CPhysics::createDistanceJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchorA,
                                  const SVector2& anchorB, bool collideConnected)
{
    if (!isUsable(anchorA) || !isUsable(anchorB)) return -1;
    b2DistanceJointDef def;
    // Rigid: no stiffness, so no spring.
    def.Initialize(a.getBody(), b.getBody(), toB2(anchorA), toB2(anchorB));
    def.collideConnected = collideConnected;
    return createJoint(def);
}

int CPhysics::createRevoluteJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchor,
                                  const SPhysicsJointOptions& options)
{
    SPhysicsJointOptions o = enclosing(options);
    if (!isUsable(anchor) || !usableOptions(o)) return -1;
    b2RevoluteJointDef def;
    def.Initialize(a.getBody(), b.getBody(), toB2(anchor));
    def.collideConnected = false;
    def.lowerAngle = o.lower;
    def.upperAngle = o.upper;
    def.maxMotorTorque = o.maxMotor;
    def.motorSpeed = o.motorSpeed;
    def.enableLimit = o.enableLimit;
    def.enableMotor = o.enableMotor;
    return createJoint(def);
}

int CPhysics::createPrismaticJoint(CPhysicsEntity& a, CPhysicsEntity& b, const SVector2& anchor,
                                   const SVector2& axis, const SPhysicsJointOptions& options)
{
    SPhysicsJointOptions o = enclosing(options);
    // An axis of no length has no direction to slide along.
    if (!isUsable(anchor) || !isUsable(axis) || !(toB2(axis).LengthSquared() > 0.0f) ||
        !usableOptions(o))
        return -1;
    b2PrismaticJointDef def;
    def.Initialize(a.getBody(), b.getBody(), toB2(anchor), toB2(axis));
    def.collideConnected = false;
    def.lowerTranslation = o.lower;
    def.upperTranslation = o.upper;
    def.maxMotorForce = o.maxMotor;
    def.motorSpeed = o.motorSpeed;
    def.enableLimit = o.enableLimit;
    def.enableMotor = o.enableMotor;
    return createJoint(def);
}

void CPhysics::deleteJoint(int64_t id)
{
    b2Joint* joint = findJoint(id);
    if (!joint) return;
    m_world->DestroyJoint(joint);
    m_joints[size_t(id)] = nullptr;
}

void CPhysics::forgetJoint(const b2Joint* joint)
{
    uintptr_t id = const_cast<b2Joint*>(joint)->GetUserData().pointer;
    if (id < m_joints.size() && m_joints[id] == joint) m_joints[id] = nullptr;
}

bool CPhysics::getJointData(int64_t id, SPhysicsJointData& out) const
{
    b2Joint* joint = findJoint(id);
    if (!joint) return false;
    out = SPhysicsJointData();
    out.anchorA = toVector(joint->GetAnchorA());
    out.anchorB = toVector(joint->GetAnchorB());
    switch (joint->GetType())
    {
    case e_revoluteJoint:
    {
        auto* r = static_cast<b2RevoluteJoint*>(joint);
        out.type = SPhysicsJointData::EJT_REVOLUTE;
        out.angle = r->GetJointAngle();
        out.speed = r->GetJointSpeed();
        break;
    }
    case e_prismaticJoint:
    {
        auto* p = static_cast<b2PrismaticJoint*>(joint);
        out.type = SPhysicsJointData::EJT_PRISMATIC;
        out.translation = p->GetJointTranslation();
        out.speed = p->GetJointSpeed();
        break;
    }
    case e_distanceJoint:
        out.type = SPhysicsJointData::EJT_DISTANCE;
        break;
    default:
        break;
    }
    return true;
}

bool CPhysics::setJointMotorEnabled(int64_t id, bool enabled)
{
    return motorAction(
        findJoint(id), [&](b2RevoluteJoint* j) { j->EnableMotor(enabled); },
        [&](b2PrismaticJoint* j) { j->EnableMotor(enabled); });
}

bool CPhysics::setJointLimitEnabled(int64_t id, bool enabled)
{
    return motorAction(
        findJoint(id), [&](b2RevoluteJoint* j) { j->EnableLimit(enabled); },
        [&](b2PrismaticJoint* j) { j->EnableLimit(enabled); });
}

bool CPhysics::setJointMotorForce(int64_t id, float force)
{
    if (!isUsable(force)) return false;
    return motorAction(
        findJoint(id), [&](b2RevoluteJoint* j) { j->SetMaxMotorTorque(force); },
        [&](b2PrismaticJoint* j) { j->SetMaxMotorForce(force); });
}

bool CPhysics::setJointMotorSpeed(int64_t id, float speed)
{
    if (!isUsable(speed)) return false;
    return motorAction(
        findJoint(id), [&](b2RevoluteJoint* j) { j->SetMotorSpeed(speed); },
        [&](b2PrismaticJoint* j) { j->SetMotorSpeed(speed); });
}

bool CPhysics::getJointMotorSpeed(int64_t id, float& speed) const
{
    b2Joint* joint = findJoint(id);
    if (!joint) return false;
    if (joint->GetType() == e_revoluteJoint)
        speed = static_cast<b2RevoluteJoint*>(joint)->GetJointSpeed();
    else if (joint->GetType() == e_prismaticJoint)
        speed = static_cast<b2PrismaticJoint*>(joint)->GetJointSpeed();
    else
        return false;
    return true;
}

bool CPhysics::step(float timeStep, int iterations)
{
    if (!m_world || !isUsable(timeStep) || timeStep < 0.0f) return false;
    b2Vec2 gravity = m_world->GetGravity();
    if (std::fabs(double(timeStep) * gravity.x) > MAX_SPEED ||
        std::fabs(double(timeStep) * gravity.y) > MAX_SPEED)
        return false;
    iterations = iterations < 0 ? 0 : iterations > MAX_ITERATIONS ? MAX_ITERATIONS : iterations;
    for (CPhysicsEntity* entity : m_entities)
        if (entity) entity->beforeStep(timeStep, toVector(gravity));
    m_world->Step(timeStep, iterations, iterations);
    for (CPhysicsEntity* entity : m_entities)
        if (entity) entity->afterStep(timeStep);
    return true;
}

bool CPhysics::rayCast(const SVector2& start, const SVector2& end, bool solid,
                       const SPhysicsFilter* filter, SRayCastHit& hit) const
{
    if (!m_world || start == end || !isUsable(start) || !isUsable(end)) return false;
    b2Vec2 p1 = toB2(start);
    b2Vec2 p2 = toB2(end);
    // The library asserts that the segment has a length in float.
    if (!((p2 - p1).LengthSquared() > 0.0f)) return false;
    FilterFixture filterFixture(filter ? toB2(*filter) : b2Filter());
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
            hit.point = start;
            hit.normal = SVector2();
            hit.userData = CPhysicsEntity::getFixtureText(query.m_fixture);
            CPhysicsEntity* entity = CPhysicsEntity::ofFixture(query.m_fixture);
            hit.entityId = entity ? entity->getId() : 0;
            return true;
        }
    }

    CClosestRayCast cast(useFilter);
    m_world->RayCast(&cast, p1, p2);
    if (!cast.m_fixture) return false;
    // Once more against the hit shape alone, for the fraction and normal.
    b2RayCastInput input;
    input.p1 = p1;
    input.p2 = p2;
    input.maxFraction = 1.0f;
    b2RayCastOutput output;
    if (!cast.m_fixture->RayCast(&output, input, 0)) return false;
    float lambda = output.fraction;
    hit.point = toVector((1.0f - lambda) * p1 + lambda * p2);
    hit.normal = toVector(output.normal);
    hit.userData = CPhysicsEntity::getFixtureText(cast.m_fixture);
    CPhysicsEntity* entity = CPhysicsEntity::ofFixture(cast.m_fixture);
    hit.entityId = entity ? entity->getId() : 0;
    return true;
}

bool CPhysics::setGravity(const SVector2& gravity)
{
    if (!m_world || !isUsable(gravity)) return false;
    m_world->SetGravity(toB2(gravity));
    for (b2Body* body = m_world->GetBodyList(); body; body = body->GetNext())
        body->SetAwake(true);
    for (CPhysicsEntity* entity : m_entities)
        if (entity) entity->wakeUp();
    return true;
}

SVector2 CPhysics::getGravity() const
{
    return m_world ? toVector(m_world->GetGravity()) : SVector2();
}

} // namespace zu::box2d
