// bench_physics: what the physics layer costs on top of Box2D.
//
// 1. One step of 1,000 boxes falling onto and piling up on a ground box,
//    through CPhysics (entities, contact records, the listener, the checks
//    around each step) against the same scene in a bare b2World, stepped
//    the same way (1/60 s, 10 velocity and 10 position iterations).
// 2. From a script: Physics:getEntityPosition, and Physics:getEntityCollisions
//    on a ground entity that has 100 touching contacts.
//
// Usage: bench_physics [STEPS]   (default 600 steps per world)
#include "box2d/CPhysics.h"
#include "lua/CLuaBox2dLibrary.h"

#include <box2d/box2d.h>
#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace
{

const int BOXES = 1000;
const float DT = 1.0f / 60.0f;

// Box i of the scene: 25 columns, 40 rows, a little staggered.
b2Vec2 boxPosition(int i) { return b2Vec2(-24.0f + 2.0f * (i % 25) + 0.1f * ((i / 25) % 2), -2.0f - 1.2f * (i / 25)); }

struct SStats
{
    double mean, p50, p99;
};

SStats stats(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    double sum = 0;
    for (double v : t)
        sum += v;
    return {sum / t.size(), t[t.size() / 2], t[t.size() * 99 / 100]};
}

template <class Step> std::vector<double> timeSteps(int steps, Step step)
{
    std::vector<double> out;
    for (int i = 0; i < steps; ++i)
    {
        auto start = Clock::now();
        step();
        out.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return out;
}

std::vector<double> rawWorld(int steps)
{
    b2World world(b2Vec2(0, 10));
    b2BodyDef groundDef;
    groundDef.position.Set(0, 0.5f);
    b2PolygonShape groundShape;
    groundShape.SetAsBox(30, 0.5f);
    world.CreateBody(&groundDef)->CreateFixture(&groundShape, 0.0f);
    b2PolygonShape box;
    box.SetAsBox(0.5f, 0.5f);
    for (int i = 0; i < BOXES; ++i)
    {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position = boxPosition(i);
        b2FixtureDef fd;
        fd.shape = &box;
        fd.density = 1;
        fd.friction = 0.2f;
        world.CreateBody(&def)->CreateFixture(&fd);
    }
    return timeSteps(steps, [&] { world.Step(DT, 10, 10); });
}

std::vector<double> wrappedWorld(int steps)
{
    zu::box2d::CPhysics world({-1000, -1000}, {1000, 1000}, {0, 10});
    zu::box2d::SPhysicsBodyDef groundDef;
    groundDef.y = 0.5f;
    int ground = world.createEntity(groundDef);
    world.findEntity(ground)->addBox(zu::box2d::SPhysicsFixtureDef(), 60, 1, false, {}, 0);
    for (int i = 0; i < BOXES; ++i)
    {
        zu::box2d::SPhysicsBodyDef def;
        def.x = boxPosition(i).x;
        def.y = boxPosition(i).y;
        zu::box2d::CPhysicsEntity* e = world.findEntity(world.createEntity(def));
        zu::box2d::SPhysicsFixtureDef fd;
        fd.density = 1;
        e->addBox(fd, 1, 1, false, {}, 0);
        e->activate();
    }
    return timeSteps(steps, [&] { world.step(DT, 10); });
}

// Runs a chunk that returns the seconds its loop took and the call count.
void scriptTiming(lua_State* L, const char* label, const char* chunk)
{
    if (luaL_dostring(L, chunk) != 0)
    {
        std::printf("%s: %s\n", label, lua_tostring(L, -1));
        lua_pop(L, 1);
        return;
    }
    double seconds = lua_tonumber(L, -2);
    double calls = lua_tonumber(L, -1);
    lua_pop(L, 2);
    std::printf("%-40s %8.3f us per call (%g calls)\n", label, seconds * 1e6 / calls, calls);
}

} // namespace

int main(int argc, char** argv)
{
    int steps = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;

    // Alternate the two worlds so both see the same machine load.
    std::vector<double> raw, wrapped;
    for (int round = 0; round < 3; ++round)
    {
        std::vector<double> r = rawWorld(steps);
        std::vector<double> w = wrappedWorld(steps);
        raw.insert(raw.end(), r.begin(), r.end());
        wrapped.insert(wrapped.end(), w.begin(), w.end());
    }
    SStats r = stats(raw), w = stats(wrapped);
    std::printf("1000 boxes, one step (%d steps x 3):\n", steps);
    std::printf("  Box2D alone   mean %8.1f us  p50 %8.1f us  p99 %8.1f us\n", r.mean, r.p50, r.p99);
    std::printf("  through layer mean %8.1f us  p50 %8.1f us  p99 %8.1f us\n", w.mean, w.p50, w.p99);
    std::printf("  overhead      mean %+.1f %%  p50 %+.1f %%\n", 100.0 * (w.mean / r.mean - 1.0),
                100.0 * (w.p50 / r.p50 - 1.0));

    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    zu::lua::CLuaBox2dLibrary library;
    library.install(L);
    luaL_dostring(L, R"(
        world = Physics(nil, nil, nil, nil, 0, 10)
        ground = world:createEntity({}, 0, 0.5)
        world:addBoxShape(ground, {width = 300, height = 1})
        for i = 0, 99 do
            local e = world:createEntity({}, -148 + 3 * i, -0.5)
            world:addBoxShape(e, {width = 1, height = 1, density = 1})
            world:activateEntity(e)
        end
        for i = 1, 30 do world:update(1 / 60, 10) end
        probe = 2
    )");
    luaL_dostring(L, "print('contacts listed by the ground: ' .. world:getEntityCollisionCount(ground))");
    scriptTiming(L, "getEntityPosition", R"(
        local w, e, n = world, probe, 1000000
        local t = os.clock()
        for i = 1, n do local x, y = w:getEntityPosition(e) end
        return os.clock() - t, n)");
    scriptTiming(L, "getEntityCollisions, 100 contacts", R"(
        local w, g, n = world, ground, 20000
        local t = os.clock()
        for i = 1, n do local list = w:getEntityCollisions(g) end
        return os.clock() - t, n)");
    lua_close(L);
    return 0;
}
