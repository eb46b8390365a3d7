// The physics world under closed-form checks (free fall, impulses, elastic
// exchange, pendulum period, ray hits) and the bookkeeping it adds to the
// library: ids, contact records, one-sided edges, joints, sleep, and the
// refusal of values the library would assert on.
#include "box2d/CPhysics.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace zu::box2d;

namespace
{

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

CPhysics* makeWorld(float gx = 0.0f, float gy = 0.0f)
{
    return new CPhysics({-1000, -1000}, {1000, 1000}, {gx, gy});
}

SPhysicsFixtureDef material(float density, float friction = 0.2f, float restitution = 0.0f)
{
    SPhysicsFixtureDef def;
    def.density = density;
    def.friction = friction;
    def.restitution = restitution;
    return def;
}

int circleAt(CPhysics& world, float x, float y, float radius, const SPhysicsFixtureDef& def)
{
    SPhysicsBodyDef body;
    body.x = x;
    body.y = y;
    int id = world.createEntity(body);
    world.findEntity(id)->addCircle(def, SVector2(), radius);
    world.findEntity(id)->activate();
    return id;
}

int staticBoxAt(CPhysics& world, float x, float y, float w, float h, const char* text = nullptr)
{
    SPhysicsBodyDef body;
    body.x = x;
    body.y = y;
    int id = world.createEntity(body);
    SPhysicsFixtureDef def;
    if (text)
    {
        def.hasUserData = true;
        def.userData = text;
    }
    world.findEntity(id)->addBox(def, w, h, false, SVector2(), 0.0f);
    return id;
}

} // namespace

TEST(PhysicsWorld, FreedIdsComeBackBeforeLargerOnes)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    SPhysicsBodyDef def;
    EXPECT_EQ(world->createEntity(def), 1);
    EXPECT_EQ(world->createEntity(def), 2);
    EXPECT_EQ(world->createEntity(def), 3);
    world->deleteEntity(2);
    world->deleteEntity(7); // unknown: nothing happens
    EXPECT_EQ(world->createEntity(def), 2);
    EXPECT_EQ(world->createEntity(def), 4);
}

TEST(PhysicsWorld, FreeFallMatchesTheIntegrator)
{
    // Semi-implicit Euler: v_n = n g dt, y_n = g dt^2 n (n + 1) / 2.
    std::unique_ptr<CPhysics> world(makeWorld(0.0f, 10.0f));
    int id = circleAt(*world, 0, 0, 0.5f, material(1));
    for (int i = 0; i < 100; ++i)
        world->step(0.01f, 10);
    b2Body* body = world->findEntity(id)->getBody();
    EXPECT_NEAR(body->GetPosition().y, 5.05f, 1e-3);
    EXPECT_NEAR(body->GetLinearVelocity().y, 10.0f, 1e-4);
}

TEST(PhysicsWorld, ImpulseOverMass)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    SPhysicsBodyDef def;
    int id = world->createEntity(def);
    CPhysicsEntity* e = world->findEntity(id);
    ASSERT_TRUE(e->addBox(material(1), 2, 1, false, SVector2(), 0));
    e->activate();
    EXPECT_FLOAT_EQ(e->getBody()->GetMass(), 2.0f);
    ASSERT_TRUE(e->applyImpulse({0, 0}, {4, 0}));
    EXPECT_FLOAT_EQ(e->getBody()->GetLinearVelocity().x, 2.0f);
    EXPECT_FLOAT_EQ(e->getBody()->GetAngularVelocity(), 0.0f);
}

TEST(PhysicsWorld, EqualElasticCirclesExchangeVelocities)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int a = circleAt(*world, 0, 0, 1, material(1, 0, 1));
    int b = circleAt(*world, 4, 0, 1, material(1, 0, 1));
    world->findEntity(a)->setSpeed({5, 0});
    for (int i = 0; i < 100; ++i)
        world->step(0.01f, 10);
    EXPECT_NEAR(world->findEntity(a)->getBody()->GetLinearVelocity().x, 0.0f, 0.05f);
    EXPECT_NEAR(world->findEntity(b)->getBody()->GetLinearVelocity().x, 5.0f, 0.05f);
}

TEST(PhysicsWorld, PendulumPeriod)
{
    // A small bob on a revolute joint: T = 2 pi sqrt(L / g) for a small
    // swing (the bob's own inertia adds about 0.1 % here).
    const float g = 10.0f, length = 1.0f, dt = 1.0f / 240.0f;
    std::unique_ptr<CPhysics> world(makeWorld(0.0f, g));
    int pivot = staticBoxAt(*world, 0, 0, 0.1f, 0.1f);
    const float swing = 0.05f;
    int bob =
        circleAt(*world, length * std::sin(swing), length * std::cos(swing), 0.05f, material(1));
    ASSERT_EQ(world->createRevoluteJoint(*world->findEntity(pivot), *world->findEntity(bob), {0, 0},
                                         SPhysicsJointOptions()),
              1);

    // Times at which x crosses 0 going the same way, one period apart.
    std::vector<double> crossings;
    float previous = world->findEntity(bob)->getBody()->GetPosition().x;
    for (int i = 1; i < 240 * 8 && crossings.size() < 3; ++i)
    {
        world->step(dt, 10);
        float x = world->findEntity(bob)->getBody()->GetPosition().x;
        if (previous > 0 && x <= 0) crossings.push_back(i * dt - dt * x / (x - previous));
        previous = x;
    }
    ASSERT_EQ(crossings.size(), 3u);
    double expected = 2.0 * M_PI * std::sqrt(length / g);
    EXPECT_NEAR(crossings[1] - crossings[0], expected, 0.02 * expected);
    EXPECT_NEAR(crossings[2] - crossings[1], expected, 0.02 * expected);
}

TEST(PhysicsWorld, RayHitsOnKnownShapes)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int box = staticBoxAt(*world, 5, 0, 2, 2, "crate");
    int circle = circleAt(*world, 0, 10, 1, material(0));
    struct Case
    {
        SVector2 p1, p2;
        bool solid;
        bool hit;
        SVector2 point, normal;
        int id;
    } cases[] = {
        {{0, 0}, {10, 0}, false, true, {4, 0}, {-1, 0}, box},
        {{10, 0}, {0, 0}, false, true, {6, 0}, {1, 0}, box},
        {{0, 0}, {0, 20}, false, true, {0, 9}, {0, -1}, circle},
        {{5, 0}, {10, 0}, true, true, {5, 0}, {0, 0}, box}, // starts inside, solid
        {{5, 0}, {10, 0}, false, false, {}, {}, 0},         // starts inside, hollow
        {{0, 0}, {0, 0}, true, false, {}, {}, 0},           // no length
        {{0, 0}, {3.9f, 0}, false, false, {}, {}, 0},       // stops short
        {{0, 0}, {NaN, 0}, false, false, {}, {}, 0},
        {{0, 0}, {1e-44f, 0}, false, false, {}, {}, 0}, // length squares to 0
    };
    for (const Case& c : cases)
    {
        SRayCastHit hit;
        bool got = world->rayCast(c.p1, c.p2, c.solid, nullptr, hit);
        ASSERT_EQ(got, c.hit) << c.p1.x << "," << c.p1.y << " -> " << c.p2.x << "," << c.p2.y;
        if (!got) continue;
        EXPECT_NEAR(hit.point.x, c.point.x, 1e-4);
        EXPECT_NEAR(hit.point.y, c.point.y, 1e-4);
        EXPECT_NEAR(hit.normal.x, c.normal.x, 1e-4);
        EXPECT_NEAR(hit.normal.y, c.normal.y, 1e-4);
        EXPECT_EQ(hit.entityId, c.id);
    }
    SRayCastHit hit;
    ASSERT_TRUE(world->rayCast({0, 0}, {10, 0}, false, nullptr, hit));
    ASSERT_TRUE(hit.userData);
    EXPECT_EQ(hit.userData->str(), "crate");
    // Category 0 meets no mask.
    SPhysicsFilter none;
    none.category = 0;
    EXPECT_FALSE(world->rayCast({0, 0}, {10, 0}, false, &none, hit));
}

TEST(PhysicsWorld, TouchingEntitiesShareOneRecord)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int a = circleAt(*world, 0, 0, 1, material(1));
    int b = circleAt(*world, 1.5f, 0, 1, material(1));
    world->step(0.01f, 10);
    CPhysicsEntity* ea = world->findEntity(a);
    CPhysicsEntity* eb = world->findEntity(b);
    ASSERT_EQ(ea->getContacts().size(), 1u);
    ASSERT_EQ(eb->getContacts().size(), 1u);
    EXPECT_EQ(ea->getContacts()[0], eb->getContacts()[0]);
    // Each side sees the normal pointing at the other.
    EXPECT_GT(ea->getCollisions(false).at(0).normal.x, 0.9f);
    EXPECT_LT(eb->getCollisions(false).at(0).normal.x, -0.9f);
    EXPECT_EQ(ea->getCollisions(false).at(0).otherId, b);

    ea->setPosition({-10, 0});
    world->step(0.01f, 10);
    EXPECT_TRUE(ea->getContacts().empty());
    EXPECT_TRUE(eb->getContacts().empty());
}

TEST(PhysicsWorld, BodiesWithoutEntitiesMakeNoRecords)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int a = circleAt(*world, 0, 0, 1, material(1));
    b2BodyDef bd;
    bd.position.Set(1.5f, 0);
    b2Body* loose = world->getWorld()->CreateBody(&bd);
    b2CircleShape shape;
    shape.m_radius = 1;
    loose->CreateFixture(&shape, 0.0f);
    world->step(0.01f, 10);
    EXPECT_TRUE(world->findEntity(a)->getContacts().empty());
    SRayCastHit hit;
    ASSERT_TRUE(world->rayCast({5, 0}, {2, 0}, false, nullptr, hit));
    EXPECT_EQ(hit.entityId, 0);
}

TEST(PhysicsWorld, EdgesAreOneSided)
{
    struct Case
    {
        float startY, speedY;
        bool blocked;
    } cases[] = {
        {1.0f, -20.0f, false}, // along the normal (0, -1): passes
        {-1.0f, 20.0f, true},  // against it: collides
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<CPhysics> world(makeWorld());
        SPhysicsBodyDef def;
        int edge = world->createEntity(def);
        ASSERT_TRUE(world->findEntity(edge)->addEdge(SPhysicsFixtureDef(), {-5, 0}, {5, 0}));
        int ball = circleAt(*world, 0, c.startY, 0.25f, material(1));
        world->findEntity(ball)->setSpeed({0, c.speedY});
        bool listed = false;
        for (int i = 0; i < 10; ++i)
        {
            world->step(0.01f, 10);
            listed = listed || !world->findEntity(ball)->getContacts().empty();
        }
        float y = world->findEntity(ball)->getBody()->GetPosition().y;
        if (c.blocked)
        {
            EXPECT_TRUE(listed);
            EXPECT_LT(y, 0.0f);
        }
        else
        {
            EXPECT_FALSE(listed);
            EXPECT_LT(y, -0.25f);
        }
    }
}

TEST(PhysicsWorld, JointsGoWithTheirBodies)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int a = circleAt(*world, 0, 0, 1, material(1));
    int b = circleAt(*world, 5, 0, 1, material(1));
    CPhysicsEntity& ea = *world->findEntity(a);
    CPhysicsEntity& eb = *world->findEntity(b);
    EXPECT_EQ(world->createDistanceJoint(ea, eb, {0, 0}, {5, 0}, false), 1);
    EXPECT_EQ(world->createDistanceJoint(ea, ea, {0, 0}, {5, 0}, false), -1); // would assert
    EXPECT_EQ(world->createDistanceJoint(ea, eb, {0, 0}, {5, 0}, false), 3); // the counter moved on
    world->deleteJoint(3);
    EXPECT_EQ(world->findJoint(3), nullptr);
    world->deleteJoint(3);
    ASSERT_NE(world->findJoint(1), nullptr);
    world->deleteEntity(b);
    EXPECT_EQ(world->findJoint(1), nullptr);
    world->deleteJoint(1); // harmless
    world->step(0.01f, 10);
}

TEST(PhysicsWorld, SensorRecordsLeaveWithTheirEntity)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    SPhysicsFixtureDef sensor = material(0);
    sensor.isSensor = true;
    SPhysicsBodyDef def;
    int zone = world->createEntity(def);
    world->findEntity(zone)->addCircle(sensor, SVector2(), 3);
    int ball = circleAt(*world, 1, 0, 0.5f, material(1));
    world->step(0.01f, 10);
    ASSERT_EQ(world->findEntity(ball)->getCollisionCount(true), 1u);
    EXPECT_EQ(world->findEntity(ball)->getCollisionCount(false), 0u);
    world->deleteEntity(zone);
    EXPECT_TRUE(world->findEntity(ball)->getContacts().empty());
    world->step(0.01f, 10);
}

TEST(PhysicsWorld, FatigueAndSleep)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    int id = circleAt(*world, 0, 0, 1, material(1));
    CPhysicsEntity* e = world->findEntity(id);
    for (int i = 0; i < 20; ++i)
        world->step(0.01f, 10);
    EXPECT_FALSE(e->isSleeping());
    EXPECT_NEAR(e->getFatigue(), 0.2f, 1e-4);
    for (int i = 0; i < 40; ++i)
        world->step(0.01f, 10);
    EXPECT_TRUE(e->isSleeping());
    EXPECT_FLOAT_EQ(e->getFatigue(), 0.5f);
    e->wakeUp();
    EXPECT_FALSE(e->isSleeping());
    EXPECT_FLOAT_EQ(e->getFatigue(), 0.0f);
    e->setSpeed({3, 0});
    e->putToSleep();
    EXPECT_TRUE(e->isSleeping());
    EXPECT_FLOAT_EQ(e->getBody()->GetLinearVelocity().x, 0.0f);
}

TEST(PhysicsWorld, MassChangesOnlyOnActivation)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    SPhysicsBodyDef def;
    int id = world->createEntity(def);
    CPhysicsEntity* e = world->findEntity(id);
    e->addBox(material(0), 1, 1, false, SVector2(), 0);
    e->activate();
    EXPECT_FALSE(e->isActive()); // no mass from the shapes
    e->addBox(material(1), 2, 1, false, SVector2(), 0);
    EXPECT_FALSE(e->isActive());
    e->activate();
    EXPECT_TRUE(e->isActive());
    EXPECT_FLOAT_EQ(e->getBody()->GetMass(), 2.0f);
    e->addBox(material(3), 1, 1, false, SVector2(), 0);
    EXPECT_FLOAT_EQ(e->getBody()->GetMass(), 2.0f);
    e->activate();
    EXPECT_FLOAT_EQ(e->getBody()->GetMass(), 5.0f);
    e->deactivate();
    EXPECT_FALSE(e->isActive());
    EXPECT_FLOAT_EQ(e->getBody()->GetMass(), 0.0f);
}

TEST(PhysicsWorld, GravityExemption)
{
    std::unique_ptr<CPhysics> world(makeWorld(0.0f, 10.0f));
    int id = circleAt(*world, 0, 0, 1, material(1));
    CPhysicsEntity* e = world->findEntity(id);
    e->setGravityEnabled(false);
    b2Vec2 center = e->getBody()->GetWorldCenter();
    e->applyForce({center.x, center.y}, {0, -3.14159f}); // forces still act
    world->step(0.1f, 10);
    EXPECT_NEAR(e->getBody()->GetLinearVelocity().y, -0.1f, 1e-4);
    e->setGravityEnabled(true);
    world->step(0.1f, 10);
    EXPECT_NEAR(e->getBody()->GetLinearVelocity().y, 0.9f, 1e-4);
}

TEST(PhysicsWorld, PolygonChecks)
{
    struct Case
    {
        std::vector<SVector2> v;
        CPhysicsEntity::EPolygonCheck result;
        int corner;
    } cases[] = {
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, CPhysicsEntity::EPC_OK, -1},
        {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}, CPhysicsEntity::EPC_NOT_CONVEX, -1},
        {{{0, 0}, {1, 0}}, CPhysicsEntity::EPC_VERTEX_COUNT, -1},
        {std::vector<SVector2>(9, SVector2()), CPhysicsEntity::EPC_VERTEX_COUNT, -1},
        {{{0, 0}, {0, 0}, {1, 1}}, CPhysicsEntity::EPC_TOO_CLOSE, -1},
        {{{0, 0}, {2, -0.003f}, {4, 0}, {2, 4}}, CPhysicsEntity::EPC_NOT_COUNTER_CLOCKWISE, 0},
    };
    for (const Case& c : cases)
    {
        int corner = -1;
        EXPECT_EQ(CPhysicsEntity::checkPolygon(c.v.data(), int(c.v.size()), &corner), c.result);
        EXPECT_EQ(corner, c.corner);
    }
}

TEST(PhysicsWorld, PolygonsKeepTheirVertexOrder)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    SPhysicsBodyDef def;
    int id = world->createEntity(def);
    SVector2 v[] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    ASSERT_EQ(world->findEntity(id)->addPolygon(material(1), v, 4), CPhysicsEntity::EPC_OK);
    auto* shape = static_cast<const b2PolygonShape*>(
        world->findEntity(id)->getBody()->GetFixtureList()->GetShape());
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(shape->m_vertices[i].x, v[i].x);
        EXPECT_EQ(shape->m_vertices[i].y, v[i].y);
    }
    world->findEntity(id)->activate();
    EXPECT_NEAR(world->findEntity(id)->getBody()->GetWorldCenter().x, 0.5f, 1e-6);
}

TEST(PhysicsWorld, RefusesWhatTheLibraryWouldAssertOn)
{
    std::unique_ptr<CPhysics> world(makeWorld(0.0f, 10.0f));
    SPhysicsBodyDef bad;
    bad.x = NaN;
    EXPECT_EQ(world->createEntity(bad), -1);
    bad = SPhysicsBodyDef();
    bad.linearDamping = -1;
    EXPECT_EQ(world->createEntity(bad), -1);
    EXPECT_FALSE(world->step(NaN, 10));
    EXPECT_FALSE(world->step(-0.01f, 10));
    EXPECT_FALSE(world->step(INF, 10));
    EXPECT_FALSE(world->setGravity({INF, 0}));

    SPhysicsBodyDef def;
    int id = world->createEntity(def);
    CPhysicsEntity* e = world->findEntity(id);
    EXPECT_FALSE(e->addCircle(material(NaN), SVector2(), 1));
    EXPECT_FALSE(e->addCircle(material(-1), SVector2(), 1));
    EXPECT_FALSE(e->addCircle(material(1, -1), SVector2(), 1));
    EXPECT_FALSE(e->addCircle(material(1), {1e30f, 0}, 1));
    EXPECT_FALSE(e->addCircle(material(1), SVector2(), -1));
    EXPECT_FALSE(e->addBox(material(1), INF, 1, false, SVector2(), 0));
    EXPECT_FALSE(e->addBox(material(1), 1e-5f, 1e-5f, false, SVector2(), 0)); // no area
    EXPECT_FALSE(e->addEdge(material(0), {1, 1}, {1, 1}));
    SVector2 huge[] = {{0, 0}, {2e9f, 0}, {2e9f, 2e9f}, {0, 2e9f}};
    EXPECT_EQ(e->addPolygon(material(1), huge, 4), CPhysicsEntity::EPC_UNUSABLE);
    SVector2 nan[] = {{0, 0}, {1, 0}, {NaN, 1}};
    EXPECT_EQ(e->addPolygon(material(1), nan, 3), CPhysicsEntity::EPC_UNUSABLE);
    EXPECT_EQ(e->getFixtureCount(), 0);

    // A small shape far from the body's origin: the centred inertia rounds
    // to 0 in float, which the library asserts against.
    ASSERT_TRUE(e->addCircle(material(1), {1000, 0}, 0.001f));
    e->activate();
    EXPECT_TRUE(e->isActive());
    EXPECT_FALSE(e->applyForce({NaN, 0}, {1, 1}));
    EXPECT_FALSE(e->applyImpulse({0, 0}, {1e9f, 0})); // beyond the speed limit
    EXPECT_TRUE(e->applyForce({0, 0}, {1e9f, 1e9f}));
    EXPECT_TRUE(e->applyTorque(1e9f));
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(world->step(1000.0f, 10));
    b2Vec2 p = e->getBody()->GetPosition();
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

TEST(PhysicsWorld, FiltersReachTheFixturesTheyName)
{
    // Three fixtures: 1 with the text "a", 2 with "b", 3 without a text.
    const SPhysicsFilter start{2, 3, 4};
    const SPhysicsFilter given{0x10, 0x20, 5};
    const SPhysicsFilter regrouped{2, 3, -7};
    const zu::core::CString a("a"), none("zz"), empty("");
    struct Case
    {
        const char* name;
        std::function<bool(CPhysicsEntity&)> change;
        bool result;
        SPhysicsFilter after[3];
    } cases[] = {
        {"all",
         [&](CPhysicsEntity& e) { return e.setFilters(given), true; },
         true,
         {given, given, given}},
        {"by text",
         [&](CPhysicsEntity& e) { return e.setFilters(given, &a), true; },
         true,
         {given, start, start}},
        {"by a text no fixture has",
         [&](CPhysicsEntity& e) { return e.setFilters(given, &none), true; },
         true,
         {start, start, start}},
        {"by the empty text",
         [&](CPhysicsEntity& e) { return e.setFilters(given, &empty), true; },
         true,
         {start, start, start}},
        {"number 2",
         [&](CPhysicsEntity& e) { return e.setFixtureFilter(2, given); },
         true,
         {start, given, start}},
        {"number 4",
         [&](CPhysicsEntity& e) { return e.setFixtureFilter(4, given); },
         false,
         {start, start, start}},
        {"number 0",
         [&](CPhysicsEntity& e) { return e.setFixtureFilter(0, given); },
         false,
         {start, start, start}},
        {"all groups",
         [&](CPhysicsEntity& e) { return e.setGroups(-7), true; },
         true,
         {regrouped, regrouped, regrouped}},
        {"group of number 3",
         [&](CPhysicsEntity& e) { return e.setFixtureGroup(3, -7); },
         true,
         {start, start, regrouped}},
        {"group of number -1",
         [&](CPhysicsEntity& e) { return e.setFixtureGroup(-1, -7); },
         false,
         {start, start, start}},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<CPhysics> world(makeWorld());
        CPhysicsEntity& e = *world->findEntity(world->createEntity(SPhysicsBodyDef()));
        const char* texts[] = {"a", "b", nullptr};
        for (const char* text : texts)
        {
            SPhysicsFixtureDef def;
            def.category = start.category;
            def.mask = start.mask;
            def.group = start.group;
            def.hasUserData = text != nullptr;
            def.userData = text ? text : "";
            ASSERT_TRUE(e.addCircle(def, SVector2(), 1));
        }
        EXPECT_EQ(c.change(e), c.result) << c.name;
        for (int n = 1; n <= 3; ++n)
        {
            const b2Filter& got = e.getFixtureByNumber(n)->GetFilterData();
            EXPECT_EQ(got.categoryBits, c.after[n - 1].category) << c.name << ", fixture " << n;
            EXPECT_EQ(got.maskBits, c.after[n - 1].mask) << c.name << ", fixture " << n;
            EXPECT_EQ(got.groupIndex, c.after[n - 1].group) << c.name << ", fixture " << n;
        }
    }
}

TEST(PhysicsWorld, JointDataOfEachKind)
{
    // A static at the origin, B a free circle at (2, 0), moved after the
    // joint is made.
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    struct Case
    {
        const char* name;
        std::function<int(CPhysics&, CPhysicsEntity&, CPhysicsEntity&)> create;
        std::function<void(CPhysicsEntity&)> move;
        SPhysicsJointData expected;
        bool hasMotorSpeed;
    } cases[] = {
        {"distance",
         [](CPhysics& w, CPhysicsEntity& a, CPhysicsEntity& b) {
             return w.createDistanceJoint(a, b, {0, 0}, {2, 0}, true);
         },
         [](CPhysicsEntity& b) {
             b.setPosition({2, 1});
         },
         {SPhysicsJointData::EJT_DISTANCE, {0, 0}, {2, 1}, 0, 0, 0},
         false},
        {"revolute",
         [](CPhysics& w, CPhysicsEntity& a, CPhysicsEntity& b) {
             return w.createRevoluteJoint(a, b, {1, 0}, SPhysicsJointOptions());
         },
         [](CPhysicsEntity& b)
         {
             b.setAngle(0.5f);
             b.setAngularSpeed(2);
         },
         {SPhysicsJointData::EJT_REVOLUTE, {1, 0}, {2 - c, -s}, 0.5f, 0, 2},
         true},
        {"prismatic",
         [](CPhysics& w, CPhysicsEntity& a, CPhysicsEntity& b) {
             return w.createPrismaticJoint(a, b, {1, 0}, {1, 0}, SPhysicsJointOptions());
         },
         [](CPhysicsEntity& b)
         {
             b.setPosition({3, 0});
             b.setSpeed({0.5f, 0});
         },
         {SPhysicsJointData::EJT_PRISMATIC, {1, 0}, {2, 0}, 0, 1, 0.5f},
         true},
    };
    for (const Case& k : cases)
    {
        std::unique_ptr<CPhysics> world(makeWorld());
        CPhysicsEntity& a = *world->findEntity(staticBoxAt(*world, 0, 0, 1, 1));
        CPhysicsEntity& b = *world->findEntity(circleAt(*world, 2, 0, 0.5f, material(1)));
        int id = k.create(*world, a, b);
        ASSERT_EQ(id, 1) << k.name;
        k.move(b);
        SPhysicsJointData d;
        ASSERT_TRUE(world->getJointData(id, d)) << k.name;
        EXPECT_EQ(d.type, k.expected.type) << k.name;
        EXPECT_NEAR(d.anchorA.x, k.expected.anchorA.x, 1e-5) << k.name;
        EXPECT_NEAR(d.anchorA.y, k.expected.anchorA.y, 1e-5) << k.name;
        EXPECT_NEAR(d.anchorB.x, k.expected.anchorB.x, 1e-5) << k.name;
        EXPECT_NEAR(d.anchorB.y, k.expected.anchorB.y, 1e-5) << k.name;
        EXPECT_NEAR(d.angle, k.expected.angle, 1e-5) << k.name;
        EXPECT_NEAR(d.translation, k.expected.translation, 1e-5) << k.name;
        EXPECT_NEAR(d.speed, k.expected.speed, 1e-5) << k.name;
        float speed = -1;
        EXPECT_EQ(world->getJointMotorSpeed(id, speed), k.hasMotorSpeed) << k.name;
        if (k.hasMotorSpeed)
        {
            EXPECT_NEAR(speed, k.expected.speed, 1e-5) << k.name;
        }
        world->deleteJoint(id);
        EXPECT_FALSE(world->getJointData(id, d)) << k.name;
        EXPECT_FALSE(world->getJointMotorSpeed(id, speed)) << k.name;
    }
}

TEST(PhysicsWorld, JointValuesAreCheckedBeforeAnIdIsTaken)
{
    std::unique_ptr<CPhysics> world(makeWorld());
    CPhysicsEntity& a = *world->findEntity(circleAt(*world, 0, 0, 0.5f, material(1)));
    CPhysicsEntity& b = *world->findEntity(circleAt(*world, 2, 0, 0.5f, material(1)));
    SPhysicsJointOptions open;
    open.upper = INF;
    SPhysicsJointOptions wrongWay; // both limits on the far side of 0
    wrongWay.lower = 1;
    wrongWay.upper = -1;
    SPhysicsJointOptions farLower;
    farLower.lower = INF;
    EXPECT_EQ(world->createRevoluteJoint(a, b, {NaN, 0}, SPhysicsJointOptions()), -1);
    EXPECT_EQ(world->createPrismaticJoint(a, b, {1, 0}, {0, 0}, SPhysicsJointOptions()), -1);
    EXPECT_EQ(world->createPrismaticJoint(a, b, {1, 0}, {1, 0}, open), -1);
    EXPECT_EQ(world->createDistanceJoint(a, b, {0, 0}, {INF, 0}, true), -1);
    EXPECT_EQ(world->createDistanceJoint(a, a, {0, 0}, {2, 0}, true), -1); // uses id 1 up
    EXPECT_EQ(world->createRevoluteJoint(a, b, {1, 0}, wrongWay), 2);
    auto* revolute = static_cast<b2RevoluteJoint*>(world->findJoint(2));
    EXPECT_EQ(revolute->GetLowerLimit(), 0.0f);
    EXPECT_EQ(revolute->GetUpperLimit(), 0.0f);
    // A lower limit beyond 0 becomes 0 before it is checked.
    EXPECT_EQ(world->createPrismaticJoint(a, b, {1, 0}, {1, 0}, farLower), 3);
    EXPECT_EQ(static_cast<b2PrismaticJoint*>(world->findJoint(3))->GetLowerLimit(), 0.0f);
}

TEST(PhysicsWorld, MotorsAndLimitsOfRevoluteAndPrismaticJointsOnly)
{
    struct Op
    {
        const char* name;
        std::function<bool(CPhysics&, int64_t)> apply;
        bool usable;
        // The state each kind of joint is in afterwards.
        std::function<bool(b2RevoluteJoint*)> revolute;
        std::function<bool(b2PrismaticJoint*)> prismatic;
    } ops[] = {
        {"motor on", [](CPhysics& w, int64_t id) { return w.setJointMotorEnabled(id, true); }, true,
         [](b2RevoluteJoint* j) { return j->IsMotorEnabled(); },
         [](b2PrismaticJoint* j) { return j->IsMotorEnabled(); }},
        {"limit on", [](CPhysics& w, int64_t id) { return w.setJointLimitEnabled(id, true); }, true,
         [](b2RevoluteJoint* j) { return j->IsLimitEnabled(); },
         [](b2PrismaticJoint* j) { return j->IsLimitEnabled(); }},
        {"force 7", [](CPhysics& w, int64_t id) { return w.setJointMotorForce(id, 7); }, true,
         [](b2RevoluteJoint* j) { return j->GetMaxMotorTorque() == 7.0f; },
         [](b2PrismaticJoint* j) { return j->GetMaxMotorForce() == 7.0f; }},
        {"speed 3", [](CPhysics& w, int64_t id) { return w.setJointMotorSpeed(id, 3); }, true,
         [](b2RevoluteJoint* j) { return j->GetMotorSpeed() == 3.0f; },
         [](b2PrismaticJoint* j) { return j->GetMotorSpeed() == 3.0f; }},
        {"motor off again",
         [](CPhysics& w, int64_t id) { return w.setJointMotorEnabled(id, false); }, true,
         [](b2RevoluteJoint* j) { return !j->IsMotorEnabled(); },
         [](b2PrismaticJoint* j) { return !j->IsMotorEnabled(); }},
        {"force NaN", [](CPhysics& w, int64_t id) { return w.setJointMotorForce(id, NaN); }, false,
         [](b2RevoluteJoint* j) { return j->GetMaxMotorTorque() == 0.0f; },
         [](b2PrismaticJoint* j) { return j->GetMaxMotorForce() == 0.0f; }},
        {"speed INF", [](CPhysics& w, int64_t id) { return w.setJointMotorSpeed(id, INF); }, false,
         [](b2RevoluteJoint* j) { return j->GetMotorSpeed() == 0.0f; },
         [](b2PrismaticJoint* j) { return j->GetMotorSpeed() == 0.0f; }},
    };
    enum EKind
    {
        DISTANCE,
        REVOLUTE,
        PRISMATIC
    };
    for (const Op& op : ops)
        for (EKind kind : {DISTANCE, REVOLUTE, PRISMATIC})
        {
            std::unique_ptr<CPhysics> world(makeWorld());
            CPhysicsEntity& a = *world->findEntity(circleAt(*world, 0, 0, 0.5f, material(1)));
            CPhysicsEntity& b = *world->findEntity(circleAt(*world, 2, 0, 0.5f, material(1)));
            int id =
                kind == DISTANCE ? world->createDistanceJoint(a, b, {0, 0}, {2, 0}, true)
                : kind == REVOLUTE
                    ? world->createRevoluteJoint(a, b, {1, 0}, SPhysicsJointOptions())
                    : world->createPrismaticJoint(a, b, {1, 0}, {1, 0}, SPhysicsJointOptions());
            ASSERT_EQ(id, 1);
            for (int i = 0; i < 20; ++i)
                world->step(0.01f, 10);
            bool applies = op.usable && kind != DISTANCE;
            EXPECT_EQ(op.apply(*world, id), applies) << op.name << ", kind " << kind;
            // Waking resets the rest time too, which the library's own wake
            // (on a changed value only) leaves alone.
            float rested = applies ? 0.0f : 0.2f;
            EXPECT_NEAR(a.getFatigue(), rested, 1e-4) << op.name << ", kind " << kind;
            EXPECT_NEAR(b.getFatigue(), rested, 1e-4) << op.name << ", kind " << kind;
            if (kind == REVOLUTE)
            {
                EXPECT_TRUE(op.revolute(static_cast<b2RevoluteJoint*>(world->findJoint(id))))
                    << op.name;
            }
            if (kind == PRISMATIC)
            {
                EXPECT_TRUE(op.prismatic(static_cast<b2PrismaticJoint*>(world->findJoint(id))))
                    << op.name;
            }
            EXPECT_FALSE(op.apply(*world, 2)) << op.name; // no such joint
        }
}
