#include "lua/CLuaPhysics.h"

#include "box2d/CPhysics.h"
#include "box2d/PhysicsLimits.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

namespace zu::lua
{

using box2d::CPhysics;
using box2d::CPhysicsEntity;
using box2d::SPhysicsCollision;
using box2d::SPhysicsFixtureDef;
using box2d::SVector2;

namespace
{

// A new joint's id, or nil when none was made.
int pushJointId(lua_State* L, int id)
{
    if (id < 0)
        lua_pushnil(L);
    else
        lua_pushinteger(L, id);
    return 1;
}

// The numbers of a getter, in order; returns how many.
int pushNumbers(lua_State* L, std::initializer_list<double> values)
{
    for (double v : values)
        lua_pushnumber(L, v);
    return int(values.size());
}

int pushFalse(lua_State* L)
{
    lua_pushboolean(L, 0);
    return 1;
}

uint16_t bits16(int64_t value) { return uint16_t(uint64_t(value) & 0xFFFF); }
int16_t group16(int64_t value) { return int16_t(bits16(value)); }

float tableNumber(lua_State* L) { return toFloat(lua_tonumber(L, -1)); }

// Every key a shape table may hold, with its default.
struct SShapeKeys
{
    float x = 0.0f, y = 0.0f;
    float radius = 1.0f;
    float width = 1.0f, height = 1.0f, angle = 0.0f;
    bool placed = false;
    float startX = 0.0f, startY = 0.0f, endX = 0.0f, endY = 0.0f;
};

// Walks the table at `index` key by key; unknown keys are ignored, and so is
// a value that is not a table.
template <class Visit> void walkTable(lua_State* L, int index, Visit visit)
{
    if (!lua_istable(L, index))
        return;
    lua_pushnil(L);
    while (lua_next(L, index) != 0)
    {
        if (lua_type(L, -2) == LUA_TSTRING)
            visit(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
}

bool readFixtureKey(lua_State* L, const char* key, SPhysicsFixtureDef& def)
{
    if (!strcmp(key, "density"))
        def.density = tableNumber(L);
    else if (!strcmp(key, "friction"))
        def.friction = tableNumber(L);
    else if (!strcmp(key, "restitution"))
        def.restitution = tableNumber(L);
    else if (!strcmp(key, "isSensor"))
        def.isSensor = lua_toboolean(L, -1) != 0;
    else if (!strcmp(key, "filterCategory"))
        def.category = bits16(toInteger(lua_tonumber(L, -1)));
    else if (!strcmp(key, "filterMask"))
        def.mask = bits16(toInteger(lua_tonumber(L, -1)));
    else if (!strcmp(key, "filterGroup"))
        def.group = group16(toInteger(lua_tonumber(L, -1)));
    else if (!strcmp(key, "userData"))
    {
        int type = lua_type(L, -1);
        if (type == LUA_TSTRING || type == LUA_TNUMBER)
        {
            // Converting the value in place is safe; only keys must not be.
            size_t length = 0;
            const char* text = lua_tolstring(L, -1, &length);
            def.userData = core::CString(text, length);
            def.hasUserData = true;
        }
    }
    else
        return false;
    return true;
}

void readShapeTable(lua_State* L, int index, SPhysicsFixtureDef& def, SShapeKeys& shape)
{
    walkTable(L, index, [&](const char* key) {
        if (readFixtureKey(L, key, def))
            return;
        float value = tableNumber(L);
        if (!strcmp(key, "x"))
            shape.x = value, shape.placed = true;
        else if (!strcmp(key, "y"))
            shape.y = value, shape.placed = true;
        else if (!strcmp(key, "angle"))
            shape.angle = value, shape.placed = true;
        else if (!strcmp(key, "radius"))
            shape.radius = value;
        else if (!strcmp(key, "width"))
            shape.width = value;
        else if (!strcmp(key, "height"))
            shape.height = value;
        else if (!strcmp(key, "startX"))
            shape.startX = value;
        else if (!strcmp(key, "startY"))
            shape.startY = value;
        else if (!strcmp(key, "endX"))
            shape.endX = value;
        else if (!strcmp(key, "endY"))
            shape.endY = value;
    });
}

// Reads up to 8 coordinates in the table walk's order; returns how many
// entries the table has in all.
int readCoordinates(lua_State* L, int index, float* out)
{
    int count = 0;
    if (!lua_istable(L, index))
        return 0;
    lua_pushnil(L);
    while (lua_next(L, index) != 0)
    {
        if (count < box2d::MAX_POLYGON_VERTICES) out[count] = toFloat(lua_tonumber(L, -1));
        ++count;
        lua_pop(L, 1);
    }
    return count;
}

box2d::SPhysicsJointOptions readJointOptions(lua_State* L, int index, const char* lowerKey,
                                             const char* upperKey, const char* maxMotorKey)
{
    box2d::SPhysicsJointOptions o;
    walkTable(L, index, [&](const char* key) {
        if (!strcmp(key, lowerKey))
            o.lower = tableNumber(L);
        else if (!strcmp(key, upperKey))
            o.upper = tableNumber(L);
        else if (!strcmp(key, maxMotorKey))
            o.maxMotor = tableNumber(L);
        else if (!strcmp(key, "motorSpeed"))
            o.motorSpeed = tableNumber(L);
        else if (!strcmp(key, "enableLimit"))
            o.enableLimit = lua_toboolean(L, -1) != 0;
        else if (!strcmp(key, "enableMotor"))
            o.enableMotor = lua_toboolean(L, -1) != 0;
    });
    return o;
}

void pushText(lua_State* L, const core::CString* text)
{
    if (text)
        lua_pushlstring(L, text->data(), text->size());
    else
        lua_pushnil(L);
}

void setNumber(lua_State* L, const char* key, double value)
{
    lua_pushnumber(L, value);
    lua_setfield(L, -2, key);
}

void pushCollisionTable(lua_State* L, const SPhysicsCollision& c)
{
    lua_createtable(L, 0, 7);
    setNumber(L, "x", c.point.x);
    setNumber(L, "y", c.point.y);
    setNumber(L, "nx", c.normal.x);
    setNumber(L, "ny", c.normal.y);
    setNumber(L, "id", c.otherId);
    pushText(L, c.otherUserData);
    lua_setfield(L, -2, "userData");
    setNumber(L, "impulse", c.impulse);
}

} // namespace

const SLuaMethod<CLuaPhysics> CLuaPhysics::methods[] = {
    {"update", &CLuaPhysics::update},
    {"setGravity", &CLuaPhysics::setGravity},
    {"createEntity", &CLuaPhysics::createEntity},
    {"deleteEntity", &CLuaPhysics::deleteEntity},
    {"addCircleShape", &CLuaPhysics::addCircleShape},
    {"addBoxShape", &CLuaPhysics::addBoxShape},
    {"addPolygonShape", &CLuaPhysics::addPolygonShape},
    {"addEdgeShape", &CLuaPhysics::addEdgeShape},
    {"setEntityShapeFilters", &CLuaPhysics::setEntityShapeFilters},
    {"setEntityShapeIndexFilters", &CLuaPhysics::setEntityShapeIndexFilters},
    {"setEntityShapeIndexGroup", &CLuaPhysics::setEntityShapeIndexGroup},
    {"setEntityFilters", &CLuaPhysics::setEntityFilters},
    {"setEntityGroup", &CLuaPhysics::setEntityGroup},
    {"activateEntity", &CLuaPhysics::activateEntity},
    {"deactivateEntity", &CLuaPhysics::deactivateEntity},
    {"isEntityActive", &CLuaPhysics::isEntityActive},
    {"getEntityPosition", &CLuaPhysics::getEntityPosition},
    {"getEntityXForm", &CLuaPhysics::getEntityXForm},
    {"getEntitySpeed", &CLuaPhysics::getEntitySpeed},
    {"getEntityAngle", &CLuaPhysics::getEntityAngle},
    {"getEntityAngleSpeed", &CLuaPhysics::getEntityAngleSpeed},
    {"getEntityMass", &CLuaPhysics::getEntityMass},
    {"getEntityShapes", &CLuaPhysics::getEntityShapes},
    {"getEntityCollisions", &CLuaPhysics::getEntityCollisions},
    {"getEntityCollisionCount", &CLuaPhysics::getEntityCollisionCount},
    {"getEntityCollision", &CLuaPhysics::getEntityCollision},
    {"getEntitySensorPoints", &CLuaPhysics::getEntitySensorPoints},
    {"getEntitySensorPoint", &CLuaPhysics::getEntitySensorPoint},
    {"getEntitySensorPointCount", &CLuaPhysics::getEntitySensorPointCount},
    {"setEntityPosition", &CLuaPhysics::setEntityPosition},
    {"setEntitySpeed", &CLuaPhysics::setEntitySpeed},
    {"setEntityAngleSpeed", &CLuaPhysics::setEntityAngleSpeed},
    {"applyEntityTorque", &CLuaPhysics::applyEntityTorque},
    {"setEntityAngle", &CLuaPhysics::setEntityAngle},
    {"setEntityGravityEnable", &CLuaPhysics::setEntityGravityEnable},
    {"isEntitySleeping", &CLuaPhysics::isEntitySleeping},
    {"getEntityFatigue", &CLuaPhysics::getEntityFatigue},
    {"wakeUpEntity", &CLuaPhysics::wakeUpEntity},
    {"putEntityToSleep", &CLuaPhysics::putEntityToSleep},
    {"applyEntityForce", &CLuaPhysics::applyEntityForce},
    {"applyEntityImpulse", &CLuaPhysics::applyEntityImpulse},
    {"deleteJoint", &CLuaPhysics::deleteJoint},
    {"createDistanceJoint", &CLuaPhysics::createDistanceJoint},
    {"createRevoluteJoint", &CLuaPhysics::createRevoluteJoint},
    {"createPrismaticJoint", &CLuaPhysics::createPrismaticJoint},
    {"getJointData", &CLuaPhysics::getJointData},
    {"setJointMotorEnabled", &CLuaPhysics::setJointMotorEnabled},
    {"setJointLimitEnabled", &CLuaPhysics::setJointLimitEnabled},
    {"setJointMotorForce", &CLuaPhysics::setJointMotorForce},
    {"setJointMotorSpeed", &CLuaPhysics::setJointMotorSpeed},
    {"getCurrentJointMotorSpeed", &CLuaPhysics::getCurrentJointMotorSpeed},
    {"raycastDirection", &CLuaPhysics::raycastDirection},
    {"raycastPoints", &CLuaPhysics::raycastPoints},
    {nullptr, nullptr},
};

// Physics([lowerX, lowerY, upperX, upperY, gravityX, gravityY]) -> Physics
// A new world. The bounds default to -1000, -1000 to 1000, 1000 (bodies may leave them); gravity
// defaults to 0, 0 (y grows downwards, so 0, 9.8 pulls down).
CLuaPhysics* CLuaPhysics::construct(const CLuaArgs& a)
{
    SVector2 lower{a.toFloat(1, -1000.0f), a.toFloat(2, -1000.0f)};
    SVector2 upper{a.toFloat(3, 1000.0f), a.toFloat(4, 1000.0f)};
    SVector2 gravity{a.toFloat(5, 0.0f), a.toFloat(6, 0.0f)};
    return new CLuaPhysics(new CPhysics(lower, upper, gravity));
}

CLuaPhysics::~CLuaPhysics() { delete m_physics; }

bool CLuaPhysics::hasWorld() const { return m_physics && m_physics->hasWorld(); }

CPhysicsEntity* CLuaPhysics::entityArg(const CLuaArgs& a, int index, int minArgs) const
{
    if (!hasWorld() || a.count() < std::max(index, minArgs))
        return nullptr;
    return m_physics->findEntity(a.integer(index, 0));
}

// Physics:update([timeStep [, iterations]]) -> nothing
// Advances the world by timeStep seconds (default 0.01) with the given solver iterations (default
// 10). Call it once per frameUpdate with dt, or with a fixed step.
int CLuaPhysics::update(const CLuaArgs& a)
{
    if (!hasWorld())
        return 0;
    int64_t iterations = a.integer(2, 10);
    iterations = iterations < 0 ? 0 : iterations > box2d::MAX_ITERATIONS ? box2d::MAX_ITERATIONS
                                                                        : iterations;
    m_physics->step(a.toFloat(1, 0.01f), int(iterations));
    return 0;
}

// Physics:setGravity(gx, gy) -> nothing
// Sets the gravity and wakes every body.
int CLuaPhysics::setGravity(const CLuaArgs& a)
{
    if (a.count() < 2 || !hasWorld())
        return 0;
    m_physics->setGravity({a.toFloat(1, 0.0f), a.toFloat(2, 0.0f)});
    return 0;
}

// Physics:createEntity(definition [, x, y]) -> id
// A new body at x, y (default 0, 0) from a definition table (linearDamping, angularDamping,
// fixedRotation, isBullet, allowSleep; {} for the defaults). It stays static until activateEntity.
// -1 without a definition.
int CLuaPhysics::createEntity(const CLuaArgs& a)
{
    lua_State* L = a.state();
    int id = -1;
    if (a.count() >= 1 && hasWorld())
    {
        box2d::SPhysicsBodyDef def;
        walkTable(L, a.index(1), [&](const char* key) {
            if (!strcmp(key, "linearDamping"))
                def.linearDamping = tableNumber(L);
            else if (!strcmp(key, "angularDamping"))
                def.angularDamping = tableNumber(L);
            else if (!strcmp(key, "fixedRotation"))
                def.fixedRotation = lua_toboolean(L, -1) != 0;
            else if (!strcmp(key, "isBullet"))
                def.bullet = lua_toboolean(L, -1) != 0;
            else if (!strcmp(key, "allowSleep"))
                def.allowSleep = lua_toboolean(L, -1) != 0;
        });
        def.x = a.toFloat(2, 0.0f);
        def.y = a.toFloat(3, 0.0f);
        id = m_physics->createEntity(def);
        if (id > 32767)
            printThroughScript(
                L, "Warning, entity id is too big for collision groups! Too many entities!");
    }
    lua_pushinteger(L, id);
    return 1;
}

// Physics:deleteEntity(id) -> nothing
// Removes the body with its shapes and joints.
int CLuaPhysics::deleteEntity(const CLuaArgs& a)
{
    if (entityArg(a, 1))
        m_physics->deleteEntity(int(a.integer(1, 0)));
    return 0;
}

// Physics:addCircleShape(id, shape) -> boolean
// Adds a circle: shape keys radius (1), x, y (the centre in body coordinates, 0) and the fixture
// keys. False for an unknown id or unusable numbers.
int CLuaPhysics::addCircleShape(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, a.index(2), def, shape);
    lua_pushboolean(L, entity->addCircle(def, {shape.x, shape.y}, shape.radius));
    return 1;
}

// Physics:addBoxShape(id, shape) -> boolean
// Adds a box: width, height (1 each), optionally x, y, angle to place it in body coordinates, and
// the fixture keys. False for a width or height of 0 or less.
int CLuaPhysics::addBoxShape(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, a.index(2), def, shape);
    lua_pushboolean(L, entity->addBox(def, shape.width, shape.height, shape.placed,
                                      {shape.x, shape.y}, shape.angle));
    return 1;
}

// Physics:addPolygonShape(id, fixture, xCoordinates, yCoordinates) -> boolean
// Adds a convex polygon of 3 to 8 vertices given counter-clockwise as two arrays. A bad polygon
// prints why ("Polygon is not convex", ...) and returns false.
int CLuaPhysics::addPolygonShape(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 4);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    walkTable(L, a.index(2), [&](const char* key) { readFixtureKey(L, key, def); });
    float xs[box2d::MAX_POLYGON_VERTICES];
    float ys[box2d::MAX_POLYGON_VERTICES];
    int xCount = readCoordinates(L, a.index(3), xs);
    int yCount = readCoordinates(L, a.index(4), ys);
    if (xCount != yCount)
    {
        printThroughScript(L, "X and Y counts mis-match");
        return pushFalse(L);
    }
    if (xCount < 3 || xCount > box2d::MAX_POLYGON_VERTICES)
    {
        printThroughScript(L, "Illegal polygon vertex count");
        return pushFalse(L);
    }
    SVector2 vertices[box2d::MAX_POLYGON_VERTICES];
    for (int i = 0; i < xCount; ++i)
        vertices[i] = {xs[i], ys[i]};
    int corner = 0;
    switch (entity->addPolygon(def, vertices, xCount, &corner))
    {
    case CPhysicsEntity::EPC_OK:
        lua_pushboolean(L, 1);
        return 1;
    case CPhysicsEntity::EPC_VERTEX_COUNT:
        printThroughScript(L, "Illegal polygon vertex count");
        break;
    case CPhysicsEntity::EPC_TOO_CLOSE:
        printThroughScript(L, "Polygon vertices are too close");
        break;
    case CPhysicsEntity::EPC_NOT_CONVEX:
        printThroughScript(L, "Polygon is not convex");
        break;
    case CPhysicsEntity::EPC_NOT_COUNTER_CLOCKWISE:
        printThroughScript(L, "Polygon is not counter-clockwise, body id " +
                           std::to_string(entity->getId()) + ", vertex from " +
                           std::to_string(corner) + " to " + std::to_string(corner + 1));
        break;
    case CPhysicsEntity::EPC_UNUSABLE:
        break;
    }
    return pushFalse(L);
}

// Physics:addEdgeShape(id, shape) -> boolean
// Adds a one-sided edge from startX, startY to endX, endY: a body moving against its normal
// collides, one moving along it passes through.
int CLuaPhysics::addEdgeShape(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, a.index(2), def, shape);
    lua_pushboolean(L,
                    entity->addEdge(def, {shape.startX, shape.startY}, {shape.endX, shape.endY}));
    return 1;
}

// Physics:setEntityShapeFilters(id, userData [, category [, mask [, group]]]) -> boolean
// Sets the collision filter of the shapes whose userData text equals userData (every shape when it
// is not a text). Category and mask default to 0, which collides with nothing.
int CLuaPhysics::setEntityShapeFilters(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    bool byText = a.isText(2);
    core::CString text = byText ? a.text(2) : core::CString();
    uint16_t category = bits16(a.integer(3, 0));
    uint16_t mask = bits16(a.integer(4, 0));
    int16_t group = group16(a.integer(5, 0));
    entity->setFilters({category, mask, group}, byText ? &text : nullptr);
    lua_pushboolean(L, 1);
    return 1;
}

// Physics:setEntityShapeIndexFilters(id, index [, category [, mask [, group]]]) -> index | false
// The same for the index-th shape added (from 1).
int CLuaPhysics::setEntityShapeIndexFilters(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    int64_t index = a.integer(2, 0);
    if (!entity->setFixtureFilter(index, {bits16(a.integer(3, 0)), bits16(a.integer(4, 0)),
                                          group16(a.integer(5, 0))}))
        return pushFalse(L);
    lua_pushinteger(L, lua_Integer(index));
    return 1;
}

// Physics:setEntityShapeIndexGroup(id, index [, group]) -> boolean
// Sets only the group of the index-th shape.
int CLuaPhysics::setEntityShapeIndexGroup(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    entity->setFixtureGroup(a.integer(2, 0), group16(a.integer(3, 0)));
    lua_pushboolean(L, 1);
    return 1;
}

// Physics:setEntityFilters(id [, category [, mask [, group]]]) -> boolean
// Sets the filter of every shape; with only the id the entity stops colliding. Shapes collide when
// each one's category bits meet the other's mask; a shared positive group always collides, a
// shared negative one never.
int CLuaPhysics::setEntityFilters(const CLuaArgs& a)
{
    lua_State* L = a.state();
    // Takes the id alone too: category and mask then become 0, which is how
    // a script takes an entity out of every collision.
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return pushFalse(L);
    uint16_t category = bits16(a.integer(2, 0));
    uint16_t mask = bits16(a.integer(3, 0));
    int16_t group = group16(a.integer(4, 0));
    entity->setFilters({category, mask, group});
    lua_pushboolean(L, 1);
    return 1;
}

// Physics:setEntityGroup(id [, group]) -> boolean
// Sets the group of every shape, keeping category and mask.
int CLuaPhysics::setEntityGroup(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (!entity)
        return pushFalse(L);
    entity->setGroups(group16(a.integer(2, 0)));
    lua_pushboolean(L, 1);
    return 1;
}

// Physics:activateEntity(id) -> nothing
// Makes the body dynamic, with the mass its shapes give. Add the shapes first.
int CLuaPhysics::activateEntity(const CLuaArgs& a)
{
    if (CPhysicsEntity* entity = entityArg(a, 1))
        entity->activate();
    return 0;
}

// Physics:deactivateEntity(id) -> nothing
// Makes the body static again.
int CLuaPhysics::deactivateEntity(const CLuaArgs& a)
{
    if (CPhysicsEntity* entity = entityArg(a, 1))
        entity->deactivate();
    return 0;
}

// Physics:isEntityActive(id) -> boolean
// Whether the body is dynamic.
int CLuaPhysics::isEntityActive(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1);
    lua_pushboolean(L, entity && entity->isActive());
    return 1;
}

// Physics:getEntityPosition(id) -> x, y | nothing
// The body's origin (not its centre of mass).
int CLuaPhysics::getEntityPosition(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return 0;
    const SVector2 p = entity->getPosition();
    return pushNumbers(a.state(), {p.x, p.y});
}

// Physics:getEntityXForm(id) -> x, y, c1x, c1y, c2x, c2y | nothing
// The origin and the rotation's columns (cos a, sin a) and (-sin a, cos a).
int CLuaPhysics::getEntityXForm(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return 0;
    const box2d::SPhysicsTransform xf = entity->getTransform();
    return pushNumbers(a.state(),
                       {xf.position.x, xf.position.y, xf.cosine, xf.sine, -xf.sine, xf.cosine});
}

// Physics:getEntitySpeed(id) -> vx, vy | nothing
int CLuaPhysics::getEntitySpeed(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return 0;
    const SVector2 v = entity->getSpeed();
    return pushNumbers(a.state(), {v.x, v.y});
}

// Physics:getEntityAngle(id) -> radians | nothing
int CLuaPhysics::getEntityAngle(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {entity->getAngle()}) : 0;
}

// Physics:getEntityAngleSpeed(id) -> radiansPerSecond | nothing
int CLuaPhysics::getEntityAngleSpeed(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {entity->getAngularSpeed()}) : 0;
}

// Physics:getEntityMass(id) -> mass | nothing
// 0 while the body is static.
int CLuaPhysics::getEntityMass(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {entity->getMass()}) : 0;
}

// Physics:getEntityShapes(id) -> shapes | nothing
// One table per shape, the most recently added first: {type = "circle", x, y, radius} or {type =
// "polygon", xCoordinates, yCoordinates} in world coordinates; an edge gives an empty table.
int CLuaPhysics::getEntityShapes(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return 0;
    lua_newtable(L);
    int n = 0;
    for (const box2d::SPhysicsShapeInfo& shape : entity->getShapes())
    {
        lua_newtable(L);
        if (shape.type == box2d::SPhysicsShapeInfo::EST_CIRCLE)
        {
            lua_pushliteral(L, "circle");
            lua_setfield(L, -2, "type");
            setNumber(L, "x", shape.center.x);
            setNumber(L, "y", shape.center.y);
            setNumber(L, "radius", shape.radius);
        }
        else if (shape.type == box2d::SPhysicsShapeInfo::EST_POLYGON)
        {
            lua_pushliteral(L, "polygon");
            lua_setfield(L, -2, "type");
            lua_createtable(L, shape.vertexCount, 0);
            lua_createtable(L, shape.vertexCount, 0);
            for (int i = 0; i < shape.vertexCount; ++i)
            {
                const SVector2& v = shape.vertices[i];
                lua_pushnumber(L, v.x);
                lua_rawseti(L, -3, i + 1);
                lua_pushnumber(L, v.y);
                lua_rawseti(L, -2, i + 1);
            }
            lua_setfield(L, -3, "yCoordinates");
            lua_setfield(L, -2, "xCoordinates");
        }
        lua_rawseti(L, -2, ++n);
    }
    return 1;
}

int CLuaPhysics::collisionList(const CLuaArgs& a, bool sensors)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity || entity->getContacts().empty())
        return 0;
    std::vector<SPhysicsCollision> list = entity->getCollisions(sensors);
    lua_createtable(L, int(list.size()), 0);
    for (size_t i = 0; i < list.size(); ++i)
    {
        pushCollisionTable(L, list[i]);
        lua_rawseti(L, -2, int(i + 1));
    }
    return 1;
}

// Physics:getEntityCollisions(id) -> collisions | nothing
// The touching contacts with solid shapes as collision tables; nothing (nil) when the body touches
// nothing at all.
int CLuaPhysics::getEntityCollisions(const CLuaArgs& a) { return collisionList(a, false); }

// Physics:getEntityCollisionCount(id) -> count | nothing
int CLuaPhysics::getEntityCollisionCount(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {double(entity->getCollisionCount(false))}) : 0;
}

// Physics:getEntityCollision(id, n) -> x, y, nx, ny, otherId, userData, impulse | nothing
// The n-th (from 1) entry of getEntityCollisions, without making tables.
int CLuaPhysics::getEntityCollision(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    SPhysicsCollision c;
    if (!entity || !entity->getCollision(false, a.integer(2, 0), c))
        return 0;
    lua_pushnumber(L, c.point.x);
    lua_pushnumber(L, c.point.y);
    lua_pushnumber(L, c.normal.x);
    lua_pushnumber(L, c.normal.y);
    lua_pushinteger(L, c.otherId);
    pushText(L, c.otherUserData);
    lua_pushnumber(L, c.impulse);
    return 7;
}

// Physics:getEntitySensorPoints(id) -> collisions | nothing
// The same for contacts with sensor shapes.
int CLuaPhysics::getEntitySensorPoints(const CLuaArgs& a) { return collisionList(a, true); }

// Physics:getEntitySensorPoint(id, n) -> otherId, userData | nothing
int CLuaPhysics::getEntitySensorPoint(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    SPhysicsCollision c;
    if (!entity || !entity->getCollision(true, a.integer(2, 0), c))
        return 0;
    lua_pushinteger(L, c.otherId);
    pushText(L, c.otherUserData);
    return 2;
}

// Physics:getEntitySensorPointCount(id) -> count | nothing
int CLuaPhysics::getEntitySensorPointCount(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {double(entity->getCollisionCount(true))}) : 0;
}

// Physics:setEntityPosition(id, x, y) -> nothing
// Moves the body's origin, keeping its angle.
int CLuaPhysics::setEntityPosition(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 3);
    if (entity) entity->setPosition({a.toFloat(2, 0.0f), a.toFloat(3, 0.0f)});
    return 0;
}

// Physics:setEntitySpeed(id, vx, vy) -> nothing
// Sets the velocity and wakes the body.
int CLuaPhysics::setEntitySpeed(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 3);
    if (entity) entity->setSpeed({a.toFloat(2, 0.0f), a.toFloat(3, 0.0f)});
    return 0;
}

// Physics:setEntityAngleSpeed(id, radiansPerSecond) -> nothing
int CLuaPhysics::setEntityAngleSpeed(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (entity)
        entity->setAngularSpeed(a.toFloat(2, 0.0f));
    return 0;
}

// Physics:applyEntityTorque(id, torque) -> nothing
// A torque for the next step.
int CLuaPhysics::applyEntityTorque(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (entity)
        entity->applyTorque(a.toFloat(2, 0.0f));
    return 0;
}

// Physics:setEntityAngle(id, radians) -> nothing
// Turns the body about its origin.
int CLuaPhysics::setEntityAngle(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (entity)
        entity->setAngle(a.toFloat(2, 0.0f));
    return 0;
}

// Physics:setEntityGravityEnable(id, enabled) -> nothing
// false exempts the body from gravity, true subjects it again.
int CLuaPhysics::setEntityGravityEnable(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 2);
    if (entity)
        entity->setGravityEnabled(a.flag(2));
    return 0;
}

// Physics:isEntitySleeping(id) -> boolean | nothing
// A body at rest for a while sleeps until something touches or moves it.
int CLuaPhysics::isEntitySleeping(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* entity = entityArg(a, 1);
    if (!entity)
        return 0;
    lua_pushboolean(L, entity->isSleeping());
    return 1;
}

// Physics:getEntityFatigue(id) -> seconds | nothing
// How long the body has rested while awake (0.5 while asleep).
int CLuaPhysics::getEntityFatigue(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1);
    return entity ? pushNumbers(a.state(), {entity->getFatigue()}) : 0;
}

// Physics:wakeUpEntity(id) -> nothing
int CLuaPhysics::wakeUpEntity(const CLuaArgs& a)
{
    if (CPhysicsEntity* entity = entityArg(a, 1))
        entity->wakeUp();
    return 0;
}

// Physics:putEntityToSleep(id) -> nothing
int CLuaPhysics::putEntityToSleep(const CLuaArgs& a)
{
    if (CPhysicsEntity* entity = entityArg(a, 1))
        entity->putToSleep();
    return 0;
}

// Physics:applyEntityForce(id, pointX, pointY, forceX, forceY) -> nothing
// A force at a world point for the next step (off the centre of mass it also turns the body).
int CLuaPhysics::applyEntityForce(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 5);
    if (entity)
        entity->applyForce({a.toFloat(2, 0.0f), a.toFloat(3, 0.0f)},
                           {a.toFloat(4, 0.0f), a.toFloat(5, 0.0f)});
    return 0;
}

// Physics:applyEntityImpulse(id, pointX, pointY, impulseX, impulseY) -> nothing
// Changes the velocity at once, as a kick at a world point.
int CLuaPhysics::applyEntityImpulse(const CLuaArgs& a)
{
    CPhysicsEntity* entity = entityArg(a, 1, 5);
    if (entity)
        entity->applyImpulse({a.toFloat(2, 0.0f), a.toFloat(3, 0.0f)},
                             {a.toFloat(4, 0.0f), a.toFloat(5, 0.0f)});
    return 0;
}

// Physics:deleteJoint(jointId) -> nothing
int CLuaPhysics::deleteJoint(const CLuaArgs& a)
{
    if (a.count() >= 1 && hasWorld())
        m_physics->deleteJoint(a.integer(1, 0));
    return 0;
}

// Physics:createDistanceJoint(idA, idB [, ax, ay [, bx, by [, collideConnected]]]) -> jointId | nil | nothing
// Keeps the world points ax, ay on A (default -1, 0) and bx, by on B (default 1, 0) at their
// current distance, like a rigid rod. nil when refused; nothing for an unknown entity.
int CLuaPhysics::createDistanceJoint(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* first = entityArg(a, 1, 2);
    CPhysicsEntity* second = first ? entityArg(a, 2) : nullptr;
    if (!first || !second)
        return 0;
    SVector2 anchorA{a.toFloat(3, -1.0f), a.toFloat(4, 0.0f)};
    SVector2 anchorB{a.toFloat(5, 1.0f), a.toFloat(6, 0.0f)};
    return pushJointId(
        L, m_physics->createDistanceJoint(*first, *second, anchorA, anchorB, a.flag(7, true)));
}

// Physics:createRevoluteJoint(idA, idB [, x, y [, options]]) -> jointId | nil | nothing
// A hinge at the world point x, y. Options: lowerAngle, upperAngle, enableLimit, motorSpeed,
// maxMotorTorque, enableMotor.
int CLuaPhysics::createRevoluteJoint(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* first = entityArg(a, 1, 2);
    CPhysicsEntity* second = first ? entityArg(a, 2) : nullptr;
    if (!first || !second)
        return 0;
    SVector2 anchor{a.toFloat(3, -1.0f), a.toFloat(4, 0.0f)};
    box2d::SPhysicsJointOptions o =
        readJointOptions(L, a.index(5), "lowerAngle", "upperAngle", "maxMotorTorque");
    return pushJointId(L, m_physics->createRevoluteJoint(*first, *second, anchor, o));
}

// Physics:createPrismaticJoint(idA, idB [, x, y [, axisX, axisY [, options]]]) -> jointId | nil | nothing
// A slider along the world axis (give a unit vector). Options: lowerTranslation, upperTranslation,
// enableLimit, motorSpeed, maxMotorForce, enableMotor.
int CLuaPhysics::createPrismaticJoint(const CLuaArgs& a)
{
    lua_State* L = a.state();
    CPhysicsEntity* first = entityArg(a, 1, 2);
    CPhysicsEntity* second = first ? entityArg(a, 2) : nullptr;
    if (!first || !second)
        return 0;
    SVector2 anchor{a.toFloat(3, -1.0f), a.toFloat(4, 0.0f)};
    SVector2 axis{a.toFloat(5, 1.0f), a.toFloat(6, 0.0f)};
    box2d::SPhysicsJointOptions o =
        readJointOptions(L, a.index(7), "lowerTranslation", "upperTranslation", "maxMotorForce");
    return pushJointId(L, m_physics->createPrismaticJoint(*first, *second, anchor, axis, o));
}

// Physics:getJointData(jointId) -> joint | nothing
// {a1x, a1y, a2x, a2y (the world anchors), type = "revolute" with angle and speed, "prismatic"
// with translation and speed, or "distance"}.
int CLuaPhysics::getJointData(const CLuaArgs& a)
{
    lua_State* L = a.state();
    box2d::SPhysicsJointData joint;
    if (!hasWorld() || a.count() < 1 || !m_physics->getJointData(a.integer(1, 0), joint))
        return 0;
    lua_newtable(L);
    setNumber(L, "a1x", joint.anchorA.x);
    setNumber(L, "a1y", joint.anchorA.y);
    setNumber(L, "a2x", joint.anchorB.x);
    setNumber(L, "a2y", joint.anchorB.y);
    switch (joint.type)
    {
    case box2d::SPhysicsJointData::EJT_REVOLUTE:
        lua_pushliteral(L, "revolute");
        lua_setfield(L, -2, "type");
        setNumber(L, "angle", joint.angle);
        setNumber(L, "speed", joint.speed);
        break;
    case box2d::SPhysicsJointData::EJT_PRISMATIC:
        lua_pushliteral(L, "prismatic");
        lua_setfield(L, -2, "type");
        setNumber(L, "translation", joint.translation);
        setNumber(L, "speed", joint.speed);
        break;
    case box2d::SPhysicsJointData::EJT_DISTANCE:
        lua_pushliteral(L, "distance");
        lua_setfield(L, -2, "type");
        break;
    default:
        break;
    }
    return 1;
}

// Physics:setJointMotorEnabled(jointId, enabled) -> nothing
// Revolute and prismatic joints only.
int CLuaPhysics::setJointMotorEnabled(const CLuaArgs& a)
{
    if (a.count() < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorEnabled(a.integer(1, 0), a.flag(2));
    return 0;
}

// Physics:setJointLimitEnabled(jointId, enabled) -> nothing
int CLuaPhysics::setJointLimitEnabled(const CLuaArgs& a)
{
    if (a.count() < 2 || !hasWorld())
        return 0;
    m_physics->setJointLimitEnabled(a.integer(1, 0), a.flag(2));
    return 0;
}

// Physics:setJointMotorForce(jointId, value) -> nothing
// The motor's maximum torque (revolute) or force (prismatic).
int CLuaPhysics::setJointMotorForce(const CLuaArgs& a)
{
    if (a.count() < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorForce(a.integer(1, 0), a.toFloat(2, 0.0f));
    return 0;
}

// Physics:setJointMotorSpeed(jointId, speed) -> nothing
int CLuaPhysics::setJointMotorSpeed(const CLuaArgs& a)
{
    if (a.count() < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorSpeed(a.integer(1, 0), a.toFloat(2, 0.0f));
    return 0;
}

// Physics:getCurrentJointMotorSpeed(jointId) -> speed | nothing
int CLuaPhysics::getCurrentJointMotorSpeed(const CLuaArgs& a)
{
    lua_State* L = a.state();
    float speed = 0.0f;
    if (!hasWorld() || a.count() < 1 ||
        !m_physics->getJointMotorSpeed(a.integer(1, 0), speed))
        return 0;
    lua_pushnumber(L, speed);
    return 1;
}

int CLuaPhysics::rayCast(const CLuaArgs& a, double x1, double y1, double x2, double y2, bool solid,
                         bool filtered, int filterIndex)
{
    lua_State* L = a.state();
    box2d::SPhysicsFilter filter;
    if (filtered)
    {
        filter.category = bits16(a.integer(filterIndex, 0xFFFF));
        filter.mask = bits16(a.integer(filterIndex + 1, 0xFFFF));
        filter.group = group16(a.integer(filterIndex + 2, 0));
    }
    box2d::SRayCastHit hit;
    SVector2 p1{toFloat(x1), toFloat(y1)};
    SVector2 p2{toFloat(x2), toFloat(y2)};
    if (!m_physics->rayCast(p1, p2, solid, filtered ? &filter : nullptr, hit))
    {
        lua_pushboolean(L, 0);
        for (int i = 0; i < 6; ++i)
            lua_pushnil(L);
        return 7;
    }
    lua_pushboolean(L, 1);
    lua_pushnumber(L, hit.point.x);
    lua_pushnumber(L, hit.point.y);
    lua_pushnumber(L, hit.normal.x);
    lua_pushnumber(L, hit.normal.y);
    pushText(L, hit.userData);
    lua_pushinteger(L, hit.entityId);
    return 7;
}

// Physics:raycastDirection(x, y, angle [, solid [, category, mask, group]]) -> hit, x, y, nx, ny, userData, id | nil
// The first shape met going 10000 units from x, y in the direction angle: true, the point, the
// normal, the shape's userData and the entity id; false and six nils when nothing is met. With
// solid, a shape containing the start counts. With a filter, only shapes that would collide with
// it count.
int CLuaPhysics::raycastDirection(const CLuaArgs& a)
{
    lua_State* L = a.state();
    if (a.count() < 3 || !hasWorld())
    {
        lua_pushnil(L);
        return 1;
    }
    double x = a.toFloat(1, 0.0f);
    double y = a.toFloat(2, 0.0f);
    double angle = a.toFloat(3, 0.0f);
    bool filtered = a.count() >= 5;
    return rayCast(a, x, y, x + 10000.0 * std::cos(angle), y + 10000.0 * std::sin(angle),
                   a.flag(4, false), filtered, 5);
}

// Physics:raycastPoints(x1, y1, x2, y2 [, solid [, category, mask, group]]) -> hit, x, y, nx, ny, userData, id | nil
// The same along the segment between two points.
int CLuaPhysics::raycastPoints(const CLuaArgs& a)
{
    lua_State* L = a.state();
    if (a.count() < 4 || !hasWorld())
    {
        lua_pushnil(L);
        return 1;
    }
    bool filtered = a.count() >= 6;
    return rayCast(a, a.toFloat(1, 0.0f), a.toFloat(2, 0.0f), a.toFloat(3, 0.0f),
                   a.toFloat(4, 0.0f), a.flag(5, false), filtered, 6);
}

} // namespace zu::lua
