// The Physics script class: defaults, failure results, the messages it
// prints, result tables, and a seeded fuzz of every method.
#include "box2d/CPhysics.h"
#include "lua/CLuaBox2dLibrary.h"
#include "lua/CLuaPhysics.h"
#include "lua/LuaTestState.h"
#include "lua/luaCpp/LuaClassBinder.h"

#include <gtest/gtest.h>

namespace
{

// A state with Physics installed and print collecting into the table
// "lines"; show(...) joins results the way CState::run does, for tables too.
struct CPhysicsState : luatest::CState
{
    CPhysicsState()
    {
        library.install(L);
        run("lines = {} print = function(s) lines[#lines + 1] = s end");
    }
    zu::lua::CLuaBox2dLibrary library;
};

struct SCase
{
    const char* chunk;
    const char* expected;
};

// Shared set-up for the cases: a world with gravity along +y, a ground box
// (entity 1) and a helper that makes an active circle.
const char* const prelude = R"(
local p = Physics(nil, nil, nil, nil, 0, 10)
local function ball(x, y, r, extra)
    local e = p:createEntity({}, x, y)
    local t = extra or {}
    t.radius = r
    t.density = t.density or 1
    p:addCircleShape(e, t)
    p:activateEntity(e)
    return e
end
local function keys(t)
    local k = {}
    for name in pairs(t) do k[#k + 1] = name end
    table.sort(k)
    return table.concat(k, " ")
end
local function f(x) return string.format("%.4f", x) end
)";

const SCase cases[] = {
    // Construction and ids.
    {"return p:createEntity({})", "1"},
    {"p:createEntity({}) p:createEntity({}) p:createEntity({}) p:deleteEntity(2)"
     " return p:createEntity({}), p:createEntity({})",
     "2,4"},
    {"return p:createEntity('not a table', 'x', {})", "1"},
    {"local e = p:createEntity({}) p:addBoxShape(e, {density = 1})"
     " local before = p:isEntityActive(e) p:activateEntity(e)"
     " return before, p:isEntityActive(e), p:getEntityMass(e)",
     "false,true,1"},
    {"return p:isEntityActive()", "false"},
    // update() steps 0.01 s: one step of g = 10 gives v = 0.1.
    {"local e = ball(0, 0, 1) p:update() local vx, vy = p:getEntitySpeed(e) return f(vx), f(vy)",
     "0.0000,0.1000"},
    // Failure results.
    {"return p:createEntity()", "-1"},
    {"return p:addCircleShape(1)", "false"},
    {"return p:addCircleShape(99, {})", "false"},
    {"return select('#', p:getEntityPosition(99))", "0"},
    {"return select('#', p:getEntityPosition())", "0"},
    {"return p:setEntityShapeIndexFilters(p:createEntity({}), 1)", "false"},
    {"return p:raycastDirection(1, 2)", "nil"},
    {"return select('#', p:createDistanceJoint(1, 2))", "0"},
    {"return select('#', p:getJointData(3))", "0"},
    {"p:deleteJoint(3) p:deleteJoint() return 'ok'", "ok"},
    {"local e = p:createEntity({}) return p:createDistanceJoint(e, e)", "nil"},
    // Shapes.
    {"local e = p:createEntity({}) return p:addBoxShape(e, {width = 0})", "false"},
    // Far from the origin a small box's corners round onto each other.
    {"local e = p:createEntity({}) return p:addBoxShape(e, {x = 1e8, width = 1, height = 1,"
     " density = 1})",
     "false"},
    {"local e = p:createEntity({}, 10, 20) p:addBoxShape(e, {width = 2, height = 4})"
     " local s = p:getEntityShapes(e)[1]"
     " return s.type, table.concat(s.xCoordinates, ' '), table.concat(s.yCoordinates, ' ')",
     "polygon,9 11 11 9,18 18 22 22"},
    {"local e = p:createEntity({}, 10, 20) p:addCircleShape(e, {x = 1, radius = 3})"
     " p:addEdgeShape(e, {endX = 1}) local s = p:getEntityShapes(e)"
     " return #s, keys(s[1]), keys(s[2]), s[2].x, s[2].y, s[2].radius",
     "2,,radius type x y,11,20,3"},
    // The polygon checks and their messages.
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {}, {0, 0, 1, 1}, {0, 1, 1, 0}),"
     " lines[1]",
     "false,Polygon is not convex"},
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9},"
     " {1, 2, 3, 4, 5, 6, 7, 8, 9}), lines[1]",
     "false,Illegal polygon vertex count"},
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {}, {0, 2, 4, 2},"
     " {0, -0.003, 0, 4}), lines[1]",
     "false,Polygon is not counter-clockwise, body id 1, vertex from 0 to 1"},
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {}, {0, 1, 1}, {0, 1}), lines[1]",
     "false,X and Y counts mis-match"},
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {}, {0, 0, 1}, {0, 0, 1}),"
     " lines[1]",
     "false,Polygon vertices are too close"},
    {"local e = p:createEntity({}) return p:addPolygonShape(e, {density = 1}, {0, 1, 1, 0},"
     " {0, 0, 1, 1}), #lines",
     "true,0"},
    // Filters.
    {"local a = ball(0, 0, 1) local b = ball(1.5, 0, 1) p:setGravity(0, 0) p:update()"
     " local before = p:getEntityCollisionCount(a) local ok = p:setEntityFilters(a)"
     " p:update() return before, ok, p:getEntityCollisionCount(a)",
     "1,true,0"},
    {"local a = ball(0, 0, 1, {userData = 'left'}) local b = ball(1.5, 0, 1) p:setGravity(0, 0)"
     " p:update() return p:setEntityShapeFilters(a, 'nothing'), p:setEntityShapeFilters(b, 'x'),"
     " p:setEntityShapeIndexFilters(a, 1, 1, 65535), p:setEntityShapeIndexGroup(a, 5)",
     "true,true,1,true"},
    // Collision lists: nil without records, an empty table with records of
    // the other kind only.
    {"local a = ball(0, 0, 1) return p:getEntityCollisions(a) == nil,"
     " select('#', p:getEntityCollisions(a)), p:getEntityCollisionCount(a)",
     "true,0,0"},
    {"p:setGravity(0, 0) local zone = p:createEntity({}) p:addCircleShape(zone, {radius = 5,"
     " isSensor = true, userData = 'zone'}) local a = ball(1, 0, 1) p:update()"
     " local c = p:getEntityCollisions(a) local s = p:getEntitySensorPoints(a)"
     " return type(c), #c, #s, s[1].id, s[1].userData, p:getEntitySensorPoint(a, 1)",
     "table,0,1,1,zone,1,zone"},
    {"p:setGravity(0, 0) local a = ball(0, 0, 1) local b = ball(1.5, 0, 1, {userData = 'b'})"
     " p:update() local c = p:getEntityCollisions(a)[1]"
     " local x, y, nx, ny, id, text = p:getEntityCollision(a, 1)"
     " return keys(c), c.id, c.userData, f(c.nx), f(nx), id, text,"
     " select('#', p:getEntityCollision(a, 2))",
     "id impulse nx ny userData x y,2,b,1.0000,1.0000,2,b,0"},
    // Ray casts.
    {"return p:raycastPoints(0, 0, 0, 0)", "false,nil,nil,nil,nil,nil,nil"},
    {"local e = p:createEntity({}, 5, 0) p:addBoxShape(e, {width = 2, height = 2,"
     " userData = 'crate'}) return p:raycastPoints(0, 0, 10, 0)",
     "true,4,0,-1,0,crate,1"},
    {"local e = p:createEntity({}, 5, 0) p:addBoxShape(e, {width = 2, height = 2})"
     " local hit, x, y = p:raycastDirection(0, 0, 0) return hit, f(x), f(y)",
     "true,4.0000,0.0000"},
    {"local e = p:createEntity({}, 5, 0) p:addBoxShape(e, {width = 2, height = 2})"
     " local filtered = p:raycastPoints(0, 0, 10, 0, false, 0)"
     " return filtered, p:raycastPoints(5, 0, 10, 0, true)",
     "false,true,5,0,0,0,nil,1"},
    // Joints.
    {"local a = ball(0, 0, 1) local b = ball(4, 0, 1) local j = p:createDistanceJoint(a, b, 0, 0,"
     " 4, 0) local d = p:getJointData(j) return j, keys(d), d.type, d.a1x, d.a2x",
     "1,a1x a1y a2x a2y type,distance,0,4"},
    {"local a = ball(0, 0, 1) local b = ball(4, 0, 1) local j = p:createRevoluteJoint(a, b, 2, 0,"
     " {lowerAngle = 1, upperAngle = -1, enableLimit = true}) local d = p:getJointData(j)"
     " return keys(d), d.type, d.angle, p:getCurrentJointMotorSpeed(j)",
     "a1x a1y a2x a2y angle speed type,revolute,0,0"},
    {"local a = ball(0, 0, 1) local b = ball(4, 0, 1) local j = p:createPrismaticJoint(a, b, 2, 0,"
     " 1, 0, {enableMotor = true, maxMotorForce = 1000, motorSpeed = 1}) p:setGravity(0, 0)"
     " for i = 1, 10 do p:update() end local d = p:getJointData(j)"
     " return keys(d), d.type, f(d.speed), select('#', p:getCurrentJointMotorSpeed(j))",
     "a1x a1y a2x a2y speed translation type,prismatic,1.0000,1"},
    {"local a = ball(0, 0, 1) local b = ball(4, 0, 1) local j = p:createDistanceJoint(a, b)"
     " p:deleteEntity(b) p:deleteJoint(j) return select('#', p:getJointData(j)),"
     " select('#', p:getCurrentJointMotorSpeed(j))",
     "0,0"},
    // Sleep.
    {"p:setGravity(0, 0) local a = ball(0, 0, 1) for i = 1, 20 do p:update() end"
     " local tired = p:getEntityFatigue(a) for i = 1, 40 do p:update() end"
     " return f(tired), p:isEntitySleeping(a), p:getEntityFatigue(a)",
     "0.2000,true,0.5"},
    // Gravity exemption.
    {"local a = ball(0, 0, 1) p:setEntityGravityEnable(a, false) p:update()"
     " local vx, vy = p:getEntitySpeed(a) return vy",
     "0"},
    // Forces, impulses and transforms.
    {"p:setGravity(0, 0) local e = p:createEntity({}) p:addBoxShape(e, {width = 2, height = 1,"
     " density = 1}) p:activateEntity(e) p:applyEntityImpulse(e, 0, 0, 4, 0)"
     " return p:getEntitySpeed(e)",
     "2,0"},
    {"local e = p:createEntity({}, 3, 4) p:setEntityAngle(e, math.pi / 2)"
     " local x, y, c1x, c1y, c2x, c2y = p:getEntityXForm(e) return x, y, f(c1x), f(c1y),"
     " f(c2x), f(c2y)",
     "3,4,-0.0000,1.0000,-1.0000,-0.0000"},
};

} // namespace

TEST(PhysicsScript, Cases)
{
    for (const SCase& c : cases)
    {
        CPhysicsState state;
        std::string got = state.run(std::string(prelude) + c.chunk);
        EXPECT_EQ(got, c.expected) << c.chunk;
    }
}

TEST(PhysicsScript, ConstructorDefaults)
{
    struct
    {
        const char* chunk;
        float lower, upper, gx, gy;
    } cases[] = {
        {"P = Physics()", -1000, 1000, 0, 0},
        {"P = Physics:new()", -1000, 1000, 0, 0},
        {"P = Physics(-5, -5, 7, 7, 1, 2)", -5, 7, 1, 2},
    };
    for (const auto& c : cases)
    {
        CPhysicsState state;
        ASSERT_EQ(state.run(c.chunk), "");
        lua_getglobal(state.L, "P");
        auto* physics = zu::lua::LuaClassBinder<zu::lua::CLuaPhysics>::test(state.L, -1);
        ASSERT_NE(physics, nullptr);
        lua_pop(state.L, 1);
        zu::box2d::CPhysics* world = physics->getPhysics();
        ASSERT_TRUE(world->hasWorld());
        EXPECT_EQ(world->getLowerBound(), (zu::box2d::SVector2{c.lower, c.lower}));
        EXPECT_EQ(world->getUpperBound(), (zu::box2d::SVector2{c.upper, c.upper}));
        EXPECT_EQ(world->getGravity(), (zu::box2d::SVector2{c.gx, c.gy}));
    }
}

TEST(PhysicsScript, WarnsWhenIdsOutgrowCollisionGroups)
{
    CPhysicsState state;
    EXPECT_EQ(state.run("local p = Physics() for i = 1, 32767 do p:createEntity({}) end"
                        " local before = #lines return before, p:createEntity({}), lines[1]"),
              "0,32768,Warning, entity id is too big for collision groups! Too many entities!");
}

TEST(PhysicsScript, AWorldWithoutGravityItCanUseRefusesEverything)
{
    CPhysicsState state;
    EXPECT_EQ(state.run("local p = Physics(0, 0, 0, 0, 0/0, 0) return p:createEntity({}),"
                        " p:raycastPoints(0, 0, 1, 1), p:isEntityActive(1)"),
              "-1,nil,false");
}

// Every method with random ids, NaN, infinities, huge values and wrong types,
// mixed with ordinary calls so that ids exist and bodies move and touch. The
// test passes when nothing aborts (Box2D's assertions are live) and the
// sanitizers stay quiet.
TEST(PhysicsScript, FuzzEveryMethod)
{
    CPhysicsState state;
    std::string result = state.run(R"(
math.randomseed(20240611)
local methods = {}
for name, value in pairs(Physics) do
    if type(value) == "function" and name ~= "new" then methods[#methods + 1] = name end
end
table.sort(methods)
local values = {
    nil, 0, 1, 2, 3, 4, 5, -1, 0.5, 1e-30, 1e30, -1e30, 1e300, -1e300, 0/0, 1/0, -1/0,
    32767, 32768, 65535, 65536, 2^31, -2^31, 2^63, "3", "text", true, false,
    {}, {density = 1}, {density = 0/0}, {radius = 1e300, density = 1}, {x = 0/0, y = 1/0},
    {width = 1e-20, height = 1e-20, density = 1}, {width = 1e10, height = 1e10, density = 1e9},
    {x = 1e8, width = 1, height = 1, density = 1},
    {density = 1e-30, radius = 1e-10}, {restitution = 1e30, friction = -1, density = 1},
    {startX = 0/0, endX = 5}, {isSensor = true, density = 1, userData = "s"},
    {1, 2, 3}, {0, 1, 1, 0}, {0, 0, 1, 1}, {0/0, 1, 2}, {1e300, -1e300, 0},
    {lowerAngle = 0/0, enableLimit = true, enableMotor = true, maxMotorTorque = 1e300},
    {lowerTranslation = -1e30, upperTranslation = 1e30, enableLimit = true},
    function() end, Physics,
}
local function pick() return values[math.random(1, #values + 1)] end
local worlds = {Physics(nil, nil, nil, nil, 0, 10), Physics(), Physics(0, 0, 0, 0, 1e300, 0)}
local calls = 0
for round = 1, 25000 do
    local p = worlds[math.random(1, #worlds)]
    local r = math.random()
    if r < 0.05 then
        local e = p:createEntity({}, math.random(-20, 20), math.random(-20, 20))
        p:addCircleShape(e, {radius = math.random() + 0.1, density = 1, restitution = math.random()})
        p:addBoxShape(e, {width = 2, height = 1, density = 1, angle = math.random()})
        p:activateEntity(e)
    elseif r < 0.1 then
        p:update(0.01, 10)
    else
        local name = methods[math.random(1, #methods)]
        local n = math.random(0, 8)
        local args = {}
        for i = 1, n do
            args[i] = (i <= 2 and math.random() < 0.6) and math.random(-1, 12) or pick()
        end
        pcall(p[name], p, unpack(args, 1, n))
        calls = calls + 1
    end
    -- Fresh worlds now and then: bodies the fuzz has thrown to large
    -- coordinates, where float spacing exceeds the library's contact
    -- tolerance, make its continuous collision run to its iteration limits
    -- and the steps slow (slow, not wrong).
    if round % 1000 == 0 then
        worlds[math.random(1, #worlds)] = Physics(nil, nil, nil, nil, 0, 10)
        collectgarbage()
    end
end
worlds = nil
collectgarbage()
return calls > 20000, os.clock()
)");
    EXPECT_EQ(result.substr(0, 5), "true,") << result;
}
