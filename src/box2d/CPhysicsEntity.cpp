#include "box2d/CPhysicsEntity.h"

#include "box2d/PhysicsLimits.h"
#include "box2d/PhysicsVectors.h"
#include "box2d/SPhysicsContact.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <cmath>

namespace zu::box2d
{
namespace
{

// Squared edge lengths at or below this (2^-46) make a polygon's vertices
// "too close"; the same bound refuses edges of no length.
constexpr float MIN_EDGE_LENGTH_SQUARED = 1.4210855e-14f;
// The polygon mass routine of the library refuses areas at or below its
// epsilon with an assertion; we stay clear of it by a margin.
constexpr float MIN_POLYGON_AREA = 4.0f * b2_epsilon;

bool usableMaterial(const SPhysicsFixtureDef& def)
{
    return isUsable(def.density) && def.density >= 0.0f && isUsable(def.friction) &&
           def.friction >= 0.0f && std::isfinite(def.restitution) && def.restitution >= 0.0f &&
           def.restitution <= MAX_RESTITUTION;
}

// The area exactly as the library's polygon mass routine sums it (a fan of
// triangles from vertex 0, in float), so our refusal matches its assertion.
float polygonArea(const b2Vec2* v, int count)
{
    float area = 0.0f;
    b2Vec2 s = v[0];
    for (int i = 0; i < count; ++i)
    {
        b2Vec2 e1 = v[i] - s;
        b2Vec2 e2 = i + 1 < count ? v[i + 1] - s : v[0] - s;
        area += 0.5f * b2Cross(e1, e2);
    }
    return area;
}

b2Vec2 polygonCentroid(const b2Vec2* v, int count)
{
    b2Vec2 c(0.0f, 0.0f);
    float area = 0.0f;
    b2Vec2 s = v[0];
    for (int i = 0; i < count; ++i)
    {
        b2Vec2 p2 = v[i] - s;
        b2Vec2 p3 = i + 1 < count ? v[i + 1] - s : v[0] - s;
        float triangle = 0.5f * b2Cross(p2, p3);
        area += triangle;
        c += (triangle / 3.0f) * (p2 + p3);
    }
    return (1.0f / area) * c + s;
}

// The checks of CPhysicsEntity::checkPolygon, on vertices already counted.
CPhysicsEntity::EPolygonCheck checkVertices(const b2Vec2* v, int count, int* corner)
{
    b2Vec2 normals[b2_maxPolygonVertices];
    // Edge i runs from vertex i to vertex i + 1, the last one back to 0.
    for (int i = 0; i < count; ++i)
    {
        b2Vec2 edge = v[i + 1 < count ? i + 1 : 0] - v[i];
        if (edge.LengthSquared() <= MIN_EDGE_LENGTH_SQUARED) return CPhysicsEntity::EPC_TOO_CLOSE;
        normals[i] = b2Vec2(edge.y, -edge.x);
        normals[i].Normalize();
    }
    for (int k = 0; k < count; ++k)
    {
        int next = k + 1 < count ? k + 1 : 0;
        for (int l = 0; l < count; ++l)
        {
            if (l == k || l == next) continue;
            if (b2Dot(normals[k], v[l] - v[k]) >= -0.005f) return CPhysicsEntity::EPC_NOT_CONVEX;
        }
    }
    // A corner that turns by 0.005 radians or less (or the wrong way).
    for (int e = 1; e < count; ++e)
    {
        float cross = b2Clamp(b2Cross(normals[e - 1], normals[e]), -1.0f, 1.0f);
        if (std::asin(cross) <= 0.005f)
        {
            if (corner) *corner = e - 1;
            return CPhysicsEntity::EPC_NOT_COUNTER_CLOCKWISE;
        }
    }
    return CPhysicsEntity::EPC_OK;
}

void applyFilter(b2Fixture* fixture, const SPhysicsFilter& filter)
{
    // Re-filters at once, so existing contacts are looked at again.
    fixture->SetFilterData(toB2(filter));
}

void applyGroup(b2Fixture* fixture, int16_t group)
{
    b2Filter filter = fixture->GetFilterData();
    filter.groupIndex = group;
    fixture->SetFilterData(filter);
}

} // namespace

CPhysicsEntity::~CPhysicsEntity()
{
    for (SPhysicsContact* record : m_contacts)
        delete record;
}

void CPhysicsEntity::setBody(b2Body* body)
{
    m_body = body;
    m_originX = body ? &body->GetPosition().x : &NO_ORIGIN;
    m_originY = body ? &body->GetPosition().y : &NO_ORIGIN;
}

CPhysicsEntity* CPhysicsEntity::ofBody(const b2Body* body)
{
    return body
               ? reinterpret_cast<CPhysicsEntity*>(const_cast<b2Body*>(body)->GetUserData().pointer)
               : nullptr;
}

CPhysicsEntity* CPhysicsEntity::ofFixture(const b2Fixture* fixture)
{
    return ofBody(fixture->GetBody());
}

void CPhysicsEntity::removeContact(const SPhysicsContact* record)
{
    auto it = std::find(m_contacts.begin(), m_contacts.end(), record);
    if (it != m_contacts.end()) m_contacts.erase(it);
}

b2Fixture* CPhysicsEntity::createFixture(const SPhysicsFixtureDef& def, const b2Shape& shape)
{
    b2FixtureDef fd;
    fd.shape = &shape;
    // Made without density so the library leaves the body's mass alone; the
    // density is set afterwards and counts from the next activation.
    fd.density = 0.0f;
    fd.friction = def.friction;
    fd.restitution = def.restitution;
    fd.isSensor = def.isSensor;
    fd.filter.categoryBits = def.category;
    fd.filter.maskBits = def.mask;
    fd.filter.groupIndex = def.group;
    if (def.hasUserData)
        fd.userData.pointer = reinterpret_cast<uintptr_t>(new core::CString(def.userData));
    b2Fixture* fixture = m_body->CreateFixture(&fd);
    if (!fixture)
    {
        delete reinterpret_cast<core::CString*>(fd.userData.pointer);
        return nullptr;
    }
    fixture->SetDensity(def.density);
    return fixture;
}

bool CPhysicsEntity::addCircle(const SPhysicsFixtureDef& def, const SVector2& center, float radius)
{
    if (!m_body || !usableMaterial(def) || !isUsable(center) || !isUsable(radius) || radius < 0.0f)
        return false;
    b2CircleShape circle;
    circle.m_p = toB2(center);
    circle.m_radius = radius;
    return createFixture(def, circle) != nullptr;
}

bool CPhysicsEntity::addBox(const SPhysicsFixtureDef& def, float width, float height, bool placed,
                            const SVector2& center, float angle)
{
    if (!m_body || !(width > 0.0f) || !(height > 0.0f) || !isUsable(width) || !isUsable(height) ||
        !usableMaterial(def))
        return false;
    float hx = width / 2.0f;
    float hy = height / 2.0f;
    b2PolygonShape box;
    if (placed)
    {
        if (!isUsable(center) || !isUsable(angle)) return false;
        box.SetAsBox(hx, hy, toB2(center), angle);
    }
    else
        box.SetAsBox(hx, hy);
    // The corners as stored: far from the origin a small box rounds to
    // nothing, which the library's mass routine would assert on.
    if (!(polygonArea(box.m_vertices, box.m_count) > MIN_POLYGON_AREA)) return false;
    return createFixture(def, box) != nullptr;
}

bool CPhysicsEntity::addEdge(const SPhysicsFixtureDef& def, const SVector2& start,
                             const SVector2& end)
{
    if (!m_body || !usableMaterial(def) || !isUsable(start) || !isUsable(end) ||
        (toB2(end) - toB2(start)).LengthSquared() <= MIN_EDGE_LENGTH_SQUARED)
        return false;
    // Two-sided for the library; the one-sided rule is ours (pre-solve).
    b2EdgeShape edge;
    edge.SetTwoSided(toB2(start), toB2(end));
    return createFixture(def, edge) != nullptr;
}

CPhysicsEntity::EPolygonCheck CPhysicsEntity::checkPolygon(const SVector2* vertices, int count,
                                                           int* corner)
{
    if (count < 3 || count > b2_maxPolygonVertices) return EPC_VERTEX_COUNT;
    b2Vec2 v[b2_maxPolygonVertices];
    for (int i = 0; i < count; ++i)
        v[i] = toB2(vertices[i]);
    return checkVertices(v, count, corner);
}

CPhysicsEntity::EPolygonCheck CPhysicsEntity::addPolygon(const SPhysicsFixtureDef& def,
                                                         const SVector2* given, int count,
                                                         int* corner)
{
    if (count < 3 || count > b2_maxPolygonVertices) return EPC_VERTEX_COUNT;
    b2Vec2 vertices[b2_maxPolygonVertices];
    for (int i = 0; i < count; ++i)
        vertices[i] = toB2(given[i]);
    EPolygonCheck check = checkVertices(vertices, count, corner);
    if (check != EPC_OK) return check;
    // NaN passes every comparison above; it stops here.
    for (int i = 0; i < count; ++i)
        if (!isUsable(vertices[i])) return EPC_UNUSABLE;
    if (!m_body || !usableMaterial(def) || !(polygonArea(vertices, count) > MIN_POLYGON_AREA))
        return EPC_UNUSABLE;
    // Filled in directly: the library's own setter would rebuild the hull
    // and start it at another vertex.
    b2PolygonShape polygon;
    polygon.m_count = count;
    for (int i = 0; i < count; ++i)
    {
        polygon.m_vertices[i] = vertices[i];
        b2Vec2 edge = vertices[i + 1 < count ? i + 1 : 0] - vertices[i];
        polygon.m_normals[i] = b2Cross(edge, 1.0f);
        polygon.m_normals[i].Normalize();
    }
    polygon.m_centroid = polygonCentroid(vertices, count);
    return createFixture(def, polygon) ? EPC_OK : EPC_UNUSABLE;
}

int CPhysicsEntity::getFixtureCount() const
{
    int count = 0;
    for (const b2Fixture* f = m_body ? m_body->GetFixtureList() : nullptr; f; f = f->GetNext())
        ++count;
    return count;
}

b2Fixture* CPhysicsEntity::getFixtureByNumber(int64_t number) const
{
    int count = getFixtureCount();
    if (number < 1 || number > count) return nullptr;
    // The body lists its fixtures newest first.
    int64_t skip = count - number;
    b2Fixture* f = m_body->GetFixtureList();
    while (skip-- > 0)
        f = f->GetNext();
    return f;
}

const core::CString* CPhysicsEntity::getFixtureText(const b2Fixture* fixture)
{
    return reinterpret_cast<const core::CString*>(
        const_cast<b2Fixture*>(fixture)->GetUserData().pointer);
}

std::vector<SPhysicsShapeInfo> CPhysicsEntity::getShapes() const
{
    std::vector<SPhysicsShapeInfo> out;
    for (const b2Fixture* f = m_body ? m_body->GetFixtureList() : nullptr; f; f = f->GetNext())
    {
        SPhysicsShapeInfo info;
        if (f->GetType() == b2Shape::e_circle)
        {
            const auto* circle = static_cast<const b2CircleShape*>(f->GetShape());
            info.type = SPhysicsShapeInfo::EST_CIRCLE;
            info.center = toVector(m_body->GetWorldPoint(circle->m_p));
            info.radius = circle->m_radius;
        }
        else if (f->GetType() == b2Shape::e_polygon)
        {
            const auto* polygon = static_cast<const b2PolygonShape*>(f->GetShape());
            info.type = SPhysicsShapeInfo::EST_POLYGON;
            info.vertexCount = polygon->m_count;
            for (int i = 0; i < polygon->m_count; ++i)
                info.vertices[i] = toVector(m_body->GetWorldPoint(polygon->m_vertices[i]));
        }
        out.push_back(info);
    }
    return out;
}

void CPhysicsEntity::setFilters(const SPhysicsFilter& filter, const core::CString* text)
{
    for (b2Fixture* f = m_body ? m_body->GetFixtureList() : nullptr; f; f = f->GetNext())
    {
        const core::CString* own = getFixtureText(f);
        if (!text || (own && *own == *text)) applyFilter(f, filter);
    }
}

bool CPhysicsEntity::setFixtureFilter(int64_t number, const SPhysicsFilter& filter)
{
    b2Fixture* fixture = getFixtureByNumber(number);
    if (!fixture) return false;
    applyFilter(fixture, filter);
    return true;
}

void CPhysicsEntity::setGroups(int16_t group)
{
    for (b2Fixture* f = m_body ? m_body->GetFixtureList() : nullptr; f; f = f->GetNext())
        applyGroup(f, group);
}

bool CPhysicsEntity::setFixtureGroup(int64_t number, int16_t group)
{
    b2Fixture* fixture = getFixtureByNumber(number);
    if (!fixture) return false;
    applyGroup(fixture, group);
    return true;
}

void CPhysicsEntity::activate()
{
    if (!m_body) return;
    // Summed the way the library sums it, so a usable body gets exactly the
    // library's own mass data.
    float mass = 0.0f;
    float inertia = 0.0f;
    b2Vec2 center = b2Vec2_zero;
    bool usable = true;
    for (b2Fixture* f = m_body->GetFixtureList(); f; f = f->GetNext())
    {
        if (f->GetDensity() == 0.0f) continue;
        b2MassData data;
        f->GetMassData(&data);
        mass += data.mass;
        center += data.mass * data.center;
        inertia += data.I;
    }
    if (!std::isfinite(mass) || !std::isfinite(inertia) || !center.IsValid())
        usable = false;
    else if (mass > 0.0f)
        center *= 1.0f / mass;
    if (!usable || !(mass >= MIN_MASS) || mass > MAX_MASS || !isUsable(center))
    {
        deactivate();
        return;
    }

    if (m_body->GetType() != b2_dynamicBody)
    {
        // Turning dynamic makes the library compute the mass itself, which
        // asserts on shapes it finds degenerate: it sees no densities here,
        // and gets the checked mass data below.
        std::vector<float> densities;
        for (b2Fixture* f = m_body->GetFixtureList(); f; f = f->GetNext())
        {
            densities.push_back(f->GetDensity());
            f->SetDensity(0.0f);
        }
        m_body->SetType(b2_dynamicBody);
        size_t i = 0;
        for (b2Fixture* f = m_body->GetFixtureList(); f; f = f->GetNext())
            f->SetDensity(densities[i++]);
    }

    b2MassData data;
    data.mass = mass;
    data.center = center;
    data.I = inertia;
    m_invInertia = 0.0f;
    if (inertia > 0.0f && !m_body->IsFixedRotation())
    {
        // The library moves the inertia to the centre of mass and asserts
        // that it stays positive; rounding can break that for a small shape
        // far from the origin, which then does not turn at all.
        float central = inertia - mass * b2Dot(center, center);
        if (central > 0.0f && std::isfinite(1.0f / central) && 1.0 / central < 1.0e30)
            m_invInertia = 1.0f / central;
        else
            data.I = 0.0f;
    }
    m_body->SetMassData(&data);
    m_pendingForce = SVector2();
    m_pendingTorque = 0.0f;
}

void CPhysicsEntity::deactivate()
{
    if (!m_body) return;
    m_body->SetType(b2_staticBody);
    m_invInertia = 0.0f;
    m_pendingForce = SVector2();
    m_pendingTorque = 0.0f;
    m_sleepTime = 0.0f;
}

bool CPhysicsEntity::isActive() const
{
    return m_body && m_body->GetType() == b2_dynamicBody;
}

SPhysicsTransform CPhysicsEntity::getTransform() const
{
    SPhysicsTransform out;
    if (!m_body) return out;
    const b2Transform& xf = m_body->GetTransform();
    out.position = toVector(xf.p);
    out.cosine = xf.q.c;
    out.sine = xf.q.s;
    return out;
}

SVector2 CPhysicsEntity::getSpeed() const
{
    return m_body ? toVector(m_body->GetLinearVelocity()) : SVector2();
}

float CPhysicsEntity::getAngle() const
{
    return m_body ? m_body->GetAngle() : 0.0f;
}

float CPhysicsEntity::getAngularSpeed() const
{
    return m_body ? m_body->GetAngularVelocity() : 0.0f;
}

float CPhysicsEntity::getMass() const
{
    return m_body ? m_body->GetMass() : 0.0f;
}

bool CPhysicsEntity::setPosition(const SVector2& position)
{
    if (!m_body || !isUsable(position)) return false;
    m_body->SetTransform(toB2(position), m_body->GetAngle());
    return true;
}

bool CPhysicsEntity::setAngle(float angle)
{
    if (!m_body || !isUsable(angle)) return false;
    m_body->SetTransform(m_body->GetPosition(), angle);
    return true;
}

bool CPhysicsEntity::setSpeed(const SVector2& speed)
{
    if (!m_body || !isUsable(speed)) return false;
    wakeUp();
    m_body->SetLinearVelocity(toB2(speed));
    return true;
}

bool CPhysicsEntity::setAngularSpeed(float speed)
{
    if (!m_body || !isUsable(speed)) return false;
    wakeUp();
    m_body->SetAngularVelocity(speed);
    return true;
}

bool CPhysicsEntity::applyForce(const SVector2& point, const SVector2& force)
{
    if (!m_body || !isUsable(point) || !isUsable(force)) return false;
    wakeUp();
    if (m_body->GetType() != b2_dynamicBody) return true;
    m_pendingForce.x += force.x;
    m_pendingForce.y += force.y;
    m_pendingTorque += b2Cross(toB2(point) - m_body->GetWorldCenter(), toB2(force));
    return true;
}

bool CPhysicsEntity::applyImpulse(const SVector2& point, const SVector2& given)
{
    if (!m_body || !isUsable(point) || !isUsable(given)) return false;
    b2Vec2 impulse = toB2(given);
    wakeUp();
    if (m_body->GetType() != b2_dynamicBody) return true;
    double invMass = 1.0 / double(m_body->GetMass());
    b2Vec2 v = m_body->GetLinearVelocity();
    b2Vec2 r = toB2(point) - m_body->GetWorldCenter();
    double vx = v.x + invMass * impulse.x;
    double vy = v.y + invMass * impulse.y;
    double w = m_body->GetAngularVelocity() +
               double(m_invInertia) * (double(r.x) * impulse.y - double(r.y) * impulse.x);
    // An impulse that would throw the body beyond the speed limit is refused.
    if (!(std::fabs(vx) <= MAX_SPEED && std::fabs(vy) <= MAX_SPEED && std::fabs(w) <= MAX_SPEED))
        return false;
    m_body->ApplyLinearImpulse(impulse, toB2(point), true);
    return true;
}

bool CPhysicsEntity::applyTorque(float torque)
{
    if (!m_body || !isUsable(torque)) return false;
    wakeUp();
    if (m_body->GetType() == b2_dynamicBody) m_pendingTorque += torque;
    return true;
}

void CPhysicsEntity::setGravityEnabled(bool enabled)
{
    if (!m_body) return;
    m_body->SetGravityScale(enabled ? 1.0f : 0.0f);
    wakeUp();
}

bool CPhysicsEntity::isSleeping() const
{
    return m_body && !m_body->IsAwake();
}

float CPhysicsEntity::getFatigue() const
{
    return isSleeping() ? 0.5f : m_sleepTime;
}

void CPhysicsEntity::wakeUp()
{
    if (!m_body) return;
    m_body->SetAwake(true);
    m_sleepTime = 0.0f;
}

void CPhysicsEntity::putToSleep()
{
    if (!m_body) return;
    m_body->SetAwake(false);
    m_sleepTime = 0.0f;
    m_pendingForce = SVector2();
    m_pendingTorque = 0.0f;
}

void CPhysicsEntity::beforeStep(float timeStep, const SVector2& gravity)
{
    if (!m_body || m_body->GetType() != b2_dynamicBody || !m_body->IsAwake())
    {
        m_pendingForce = SVector2();
        m_pendingTorque = 0.0f;
        return;
    }
    // Speeds beyond the limit (reached through contacts or joints) are cut
    // back, keeping their direction.
    b2Vec2 v = m_body->GetLinearVelocity();
    double speed = std::max(std::fabs(double(v.x)), std::fabs(double(v.y)));
    if (speed > MAX_SPEED)
    {
        v *= float(MAX_SPEED / speed);
        m_body->SetLinearVelocity(v);
    }
    float w = m_body->GetAngularVelocity();
    if (std::fabs(w) > MAX_SPEED)
    {
        w = w > 0.0f ? float(MAX_SPEED) : -float(MAX_SPEED);
        m_body->SetAngularVelocity(w);
    }
    if (m_pendingForce.x == 0.0f && m_pendingForce.y == 0.0f && m_pendingTorque == 0.0f) return;
    // The step adds dt / m * (m g + F) and dt / I * T; forces that would
    // carry the body beyond the speed limit are dropped.
    double mass = m_body->GetMass();
    double scale = m_body->GetGravityScale();
    double h = timeStep;
    double vx = v.x + h / mass * (scale * mass * gravity.x + m_pendingForce.x);
    double vy = v.y + h / mass * (scale * mass * gravity.y + m_pendingForce.y);
    double nw = w + h * m_invInertia * m_pendingTorque;
    if (std::fabs(vx) <= MAX_SPEED && std::fabs(vy) <= MAX_SPEED && std::fabs(nw) <= MAX_SPEED)
    {
        m_body->ApplyForceToCenter(toB2(m_pendingForce), false);
        m_body->ApplyTorque(m_pendingTorque, false);
    }
    m_pendingForce = SVector2();
    m_pendingTorque = 0.0f;
}

void CPhysicsEntity::afterStep(float timeStep)
{
    if (!m_body || !m_body->IsAwake())
    {
        m_sleepTime = 0.0f;
        return;
    }
    if (m_body->GetType() == b2_staticBody) return;
    // The library's own rule for the time a body has rested.
    const float linear = b2_linearSleepTolerance * b2_linearSleepTolerance;
    const float angular = b2_angularSleepTolerance * b2_angularSleepTolerance;
    float w = m_body->GetAngularVelocity();
    b2Vec2 v = m_body->GetLinearVelocity();
    if (!m_body->IsSleepingAllowed() || w * w > angular || b2Dot(v, v) > linear)
        m_sleepTime = 0.0f;
    else
        m_sleepTime += timeStep;
}

SPhysicsCollision CPhysicsEntity::view(const SPhysicsContact& record) const
{
    SPhysicsCollision out;
    bool isA = record.entityA == this;
    out.point = toVector(record.point1);
    out.normal = toVector(isA ? record.normal : -record.normal);
    const CPhysicsEntity* other = isA ? record.entityB : record.entityA;
    out.otherId = other ? other->getId() : 0;
    const b2Fixture* fixture = isA ? record.fixtureB : record.fixtureA;
    out.otherUserData = fixture ? getFixtureText(fixture) : nullptr;
    out.impulse = record.normalImpulses[0];
    return out;
}

std::vector<SPhysicsCollision> CPhysicsEntity::getCollisions(bool sensors) const
{
    std::vector<SPhysicsCollision> out;
    for (const SPhysicsContact* record : m_contacts)
        if (record->touching && bool(record->sensor) == sensors) out.push_back(view(*record));
    return out;
}

size_t CPhysicsEntity::getCollisionCount(bool sensors) const
{
    size_t count = 0;
    for (const SPhysicsContact* record : m_contacts)
        if (record->touching && bool(record->sensor) == sensors) ++count;
    return count;
}

bool CPhysicsEntity::getCollision(bool sensors, int64_t n, SPhysicsCollision& out) const
{
    if (n < 1) return false;
    for (const SPhysicsContact* record : m_contacts)
        if (record->touching && bool(record->sensor) == sensors && --n == 0)
        {
            out = view(*record);
            return true;
        }
    return false;
}

} // namespace zu::box2d
