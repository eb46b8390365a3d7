#include "lua/CLuaPhysics.h"

#include "box2d/CPhysics.h"
#include "box2d/PhysicsLimits.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <box2d/box2d.h>
#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace zu::lua
{

using box2d::CPhysics;
using box2d::CPhysicsEntity;
using box2d::SPhysicsCollision;
using box2d::SPhysicsFixtureDef;

namespace
{

// The script's own number conversion: a non-number reads as 0.
float numberArg(lua_State* L, int index, float fallback)
{
    if (lua_isnoneornil(L, index))
        return fallback;
    return toFloat(lua_tonumber(L, index));
}

int64_t integerArg(lua_State* L, int index, int64_t fallback)
{
    if (lua_isnoneornil(L, index))
        return fallback;
    return toInteger(lua_tonumber(L, index));
}

// A new joint's id, or nil when none was made.
int pushJointId(lua_State* L, int id)
{
    if (id < 0)
        lua_pushnil(L);
    else
        lua_pushinteger(L, id);
    return 1;
}

int pushFalse(lua_State* L)
{
    lua_pushboolean(L, 0);
    return 1;
}

bool flagArg(lua_State* L, int index, bool fallback)
{
    if (lua_isnone(L, index))
        return fallback;
    return lua_toboolean(L, index) != 0;
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
        if (count < b2_maxPolygonVertices)
            out[count] = toFloat(lua_tonumber(L, -1));
        ++count;
        lua_pop(L, 1);
    }
    return count;
}

struct SJointOptions
{
    float lower = 0.0f, upper = 0.0f, maxMotor = 0.0f, motorSpeed = 0.0f;
    bool enableLimit = false, enableMotor = false;
};

SJointOptions readJointOptions(lua_State* L, int index, const char* lowerKey,
                               const char* upperKey, const char* maxMotorKey)
{
    SJointOptions o;
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
    // Limits always enclose the starting position.
    if (o.lower > 0.0f)
        o.lower = 0.0f;
    if (o.upper < 0.0f)
        o.upper = 0.0f;
    return o;
}

bool usableOptions(const SJointOptions& o)
{
    return box2d::isUsable(o.lower) && box2d::isUsable(o.upper) && box2d::isUsable(o.maxMotor) &&
           box2d::isUsable(o.motorSpeed);
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

void wakeBody(b2Body* body)
{
    auto* entity = reinterpret_cast<CPhysicsEntity*>(body->GetUserData().pointer);
    if (entity)
        entity->wakeUp();
    else
        body->SetAwake(true);
}

void setFilter(b2Fixture* fixture, uint16_t category, uint16_t mask, int16_t group)
{
    b2Filter filter;
    filter.categoryBits = category;
    filter.maskBits = mask;
    filter.groupIndex = group;
    // Re-filters at once, so existing contacts are looked at again.
    fixture->SetFilterData(filter);
}

void setGroup(b2Fixture* fixture, int16_t group)
{
    b2Filter filter = fixture->GetFilterData();
    filter.groupIndex = group;
    fixture->SetFilterData(filter);
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

CLuaPhysics* CLuaPhysics::construct(lua_State* L)
{
    b2Vec2 lower(numberArg(L, 1, -1000.0f), numberArg(L, 2, -1000.0f));
    b2Vec2 upper(numberArg(L, 3, 1000.0f), numberArg(L, 4, 1000.0f));
    b2Vec2 gravity(numberArg(L, 5, 0.0f), numberArg(L, 6, 0.0f));
    return new CLuaPhysics(new CPhysics(lower, upper, gravity));
}

CLuaPhysics::~CLuaPhysics() { delete m_physics; }

bool CLuaPhysics::hasWorld() const { return m_physics && m_physics->hasWorld(); }

CPhysicsEntity* CLuaPhysics::entityArg(lua_State* L, int index, int minArgs) const
{
    if (!hasWorld() || lua_gettop(L) < std::max(index, minArgs))
        return nullptr;
    return m_physics->findEntity(integerArg(L, index, 0));
}

int CLuaPhysics::update(lua_State* L)
{
    if (!hasWorld())
        return 0;
    int64_t iterations = integerArg(L, 2, 10);
    iterations = iterations < 0 ? 0 : iterations > box2d::MAX_ITERATIONS ? box2d::MAX_ITERATIONS
                                                                        : iterations;
    m_physics->step(numberArg(L, 1, 0.01f), int(iterations));
    return 0;
}

int CLuaPhysics::setGravity(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    m_physics->setGravity(b2Vec2(numberArg(L, 1, 0.0f), numberArg(L, 2, 0.0f)));
    return 0;
}

int CLuaPhysics::createEntity(lua_State* L)
{
    int id = -1;
    if (lua_gettop(L) >= 1 && hasWorld())
    {
        box2d::SPhysicsBodyDef def;
        walkTable(L, 1, [&](const char* key) {
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
        def.x = numberArg(L, 2, 0.0f);
        def.y = numberArg(L, 3, 0.0f);
        id = m_physics->createEntity(def);
        if (id > 32767)
            printThroughScript(
                L, "Warning, entity id is too big for collision groups! Too many entities!");
    }
    lua_pushinteger(L, id);
    return 1;
}

int CLuaPhysics::deleteEntity(lua_State* L)
{
    if (entityArg(L, 1))
        m_physics->deleteEntity(int(integerArg(L, 1, 0)));
    return 0;
}

int CLuaPhysics::addCircleShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, 2, def, shape);
    lua_pushboolean(L, entity->addCircle(def, b2Vec2(shape.x, shape.y), shape.radius));
    return 1;
}

int CLuaPhysics::addBoxShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, 2, def, shape);
    lua_pushboolean(L, entity->addBox(def, shape.width, shape.height, shape.placed,
                                      b2Vec2(shape.x, shape.y), shape.angle));
    return 1;
}

int CLuaPhysics::addPolygonShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 4);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    walkTable(L, 2, [&](const char* key) { readFixtureKey(L, key, def); });
    float xs[b2_maxPolygonVertices];
    float ys[b2_maxPolygonVertices];
    int xCount = readCoordinates(L, 3, xs);
    int yCount = readCoordinates(L, 4, ys);
    if (xCount != yCount)
    {
        printThroughScript(L, "X and Y counts mis-match");
        return pushFalse(L);
    }
    if (xCount < 3 || xCount > b2_maxPolygonVertices)
    {
        printThroughScript(L, "Illegal polygon vertex count");
        return pushFalse(L);
    }
    b2Vec2 vertices[b2_maxPolygonVertices];
    for (int i = 0; i < xCount; ++i)
        vertices[i].Set(xs[i], ys[i]);
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

int CLuaPhysics::addEdgeShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, 2, def, shape);
    lua_pushboolean(L, entity->addEdge(def, b2Vec2(shape.startX, shape.startY),
                                       b2Vec2(shape.endX, shape.endY)));
    return 1;
}

int CLuaPhysics::setEntityShapeFilters(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    bool byText = lua_type(L, 2) == LUA_TSTRING;
    size_t length = 0;
    const char* bytes = byText ? lua_tolstring(L, 2, &length) : nullptr;
    core::CString text = byText ? core::CString(bytes, length) : core::CString();
    uint16_t category = bits16(integerArg(L, 3, 0));
    uint16_t mask = bits16(integerArg(L, 4, 0));
    int16_t group = group16(integerArg(L, 5, 0));
    for (b2Fixture* f = entity->getBody()->GetFixtureList(); f; f = f->GetNext())
    {
        const core::CString* own = CPhysicsEntity::getFixtureText(f);
        if (!byText || (own && *own == text))
            setFilter(f, category, mask, group);
    }
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::setEntityShapeIndexFilters(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    int64_t index = integerArg(L, 2, 0);
    b2Fixture* fixture = entity->getFixtureByNumber(index);
    if (!fixture)
        return pushFalse(L);
    setFilter(fixture, bits16(integerArg(L, 3, 0)), bits16(integerArg(L, 4, 0)),
              group16(integerArg(L, 5, 0)));
    lua_pushinteger(L, lua_Integer(index));
    return 1;
}

int CLuaPhysics::setEntityShapeIndexGroup(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    if (b2Fixture* fixture = entity->getFixtureByNumber(integerArg(L, 2, 0)))
        setGroup(fixture, group16(integerArg(L, 3, 0)));
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::setEntityFilters(lua_State* L)
{
    // Takes the id alone too: category and mask then become 0, which is how
    // a script takes an entity out of every collision.
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return pushFalse(L);
    uint16_t category = bits16(integerArg(L, 2, 0));
    uint16_t mask = bits16(integerArg(L, 3, 0));
    int16_t group = group16(integerArg(L, 4, 0));
    for (b2Fixture* f = entity->getBody()->GetFixtureList(); f; f = f->GetNext())
        setFilter(f, category, mask, group);
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::setEntityGroup(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    int16_t group = group16(integerArg(L, 2, 0));
    for (b2Fixture* f = entity->getBody()->GetFixtureList(); f; f = f->GetNext())
        setGroup(f, group);
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::activateEntity(lua_State* L)
{
    if (CPhysicsEntity* entity = entityArg(L, 1))
        entity->activate();
    return 0;
}

int CLuaPhysics::deactivateEntity(lua_State* L)
{
    if (CPhysicsEntity* entity = entityArg(L, 1))
        entity->deactivate();
    return 0;
}

int CLuaPhysics::isEntityActive(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    lua_pushboolean(L, entity && entity->isActive());
    return 1;
}

int CLuaPhysics::getEntityPosition(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    const b2Vec2& p = entity->getBody()->GetPosition();
    lua_pushnumber(L, p.x);
    lua_pushnumber(L, p.y);
    return 2;
}

int CLuaPhysics::getEntityXForm(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    const b2Transform& xf = entity->getBody()->GetTransform();
    lua_pushnumber(L, xf.p.x);
    lua_pushnumber(L, xf.p.y);
    lua_pushnumber(L, xf.q.c);
    lua_pushnumber(L, xf.q.s);
    lua_pushnumber(L, -xf.q.s);
    lua_pushnumber(L, xf.q.c);
    return 6;
}

int CLuaPhysics::getEntitySpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    const b2Vec2& v = entity->getBody()->GetLinearVelocity();
    lua_pushnumber(L, v.x);
    lua_pushnumber(L, v.y);
    return 2;
}

int CLuaPhysics::getEntityAngle(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getBody()->GetAngle());
    return 1;
}

int CLuaPhysics::getEntityAngleSpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getBody()->GetAngularVelocity());
    return 1;
}

int CLuaPhysics::getEntityMass(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getBody()->GetMass());
    return 1;
}

int CLuaPhysics::getEntityShapes(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    b2Body* body = entity->getBody();
    lua_newtable(L);
    int n = 0;
    for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext())
    {
        lua_newtable(L);
        if (f->GetType() == b2Shape::e_circle)
        {
            const auto* circle = static_cast<const b2CircleShape*>(f->GetShape());
            b2Vec2 c = body->GetWorldPoint(circle->m_p);
            lua_pushliteral(L, "circle");
            lua_setfield(L, -2, "type");
            setNumber(L, "x", c.x);
            setNumber(L, "y", c.y);
            setNumber(L, "radius", circle->m_radius);
        }
        else if (f->GetType() == b2Shape::e_polygon)
        {
            const auto* polygon = static_cast<const b2PolygonShape*>(f->GetShape());
            lua_pushliteral(L, "polygon");
            lua_setfield(L, -2, "type");
            lua_createtable(L, polygon->m_count, 0);
            lua_createtable(L, polygon->m_count, 0);
            for (int i = 0; i < polygon->m_count; ++i)
            {
                b2Vec2 v = body->GetWorldPoint(polygon->m_vertices[i]);
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

int CLuaPhysics::collisionList(lua_State* L, bool sensors)
{
    CPhysicsEntity* entity = entityArg(L, 1);
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

int CLuaPhysics::getEntityCollisions(lua_State* L) { return collisionList(L, false); }

int CLuaPhysics::getEntityCollisionCount(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushinteger(L, lua_Integer(entity->getCollisionCount(false)));
    return 1;
}

int CLuaPhysics::getEntityCollision(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    SPhysicsCollision c;
    if (!entity || !entity->getCollision(false, integerArg(L, 2, 0), c))
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

int CLuaPhysics::getEntitySensorPoints(lua_State* L) { return collisionList(L, true); }

int CLuaPhysics::getEntitySensorPoint(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    SPhysicsCollision c;
    if (!entity || !entity->getCollision(true, integerArg(L, 2, 0), c))
        return 0;
    lua_pushinteger(L, c.otherId);
    pushText(L, c.otherUserData);
    return 2;
}

int CLuaPhysics::getEntitySensorPointCount(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushinteger(L, lua_Integer(entity->getCollisionCount(true)));
    return 1;
}

int CLuaPhysics::setEntityPosition(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 3);
    if (entity)
        entity->setPosition(b2Vec2(numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)));
    return 0;
}

int CLuaPhysics::setEntitySpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 3);
    if (entity)
        entity->setSpeed(b2Vec2(numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)));
    return 0;
}

int CLuaPhysics::setEntityAngleSpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (entity)
        entity->setAngularSpeed(numberArg(L, 2, 0.0f));
    return 0;
}

int CLuaPhysics::applyEntityTorque(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (entity)
        entity->applyTorque(numberArg(L, 2, 0.0f));
    return 0;
}

int CLuaPhysics::setEntityAngle(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (entity)
        entity->setAngle(numberArg(L, 2, 0.0f));
    return 0;
}

int CLuaPhysics::setEntityGravityEnable(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (entity)
        entity->setGravityEnabled(lua_toboolean(L, 2) != 0);
    return 0;
}

int CLuaPhysics::isEntitySleeping(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushboolean(L, entity->isSleeping());
    return 1;
}

int CLuaPhysics::getEntityFatigue(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getFatigue());
    return 1;
}

int CLuaPhysics::wakeUpEntity(lua_State* L)
{
    if (CPhysicsEntity* entity = entityArg(L, 1))
        entity->wakeUp();
    return 0;
}

int CLuaPhysics::putEntityToSleep(lua_State* L)
{
    if (CPhysicsEntity* entity = entityArg(L, 1))
        entity->putToSleep();
    return 0;
}

int CLuaPhysics::applyEntityForce(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 5);
    if (entity)
        entity->applyForce(b2Vec2(numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)),
                           b2Vec2(numberArg(L, 4, 0.0f), numberArg(L, 5, 0.0f)));
    return 0;
}

int CLuaPhysics::applyEntityImpulse(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 5);
    if (entity)
        entity->applyImpulse(b2Vec2(numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)),
                             b2Vec2(numberArg(L, 4, 0.0f), numberArg(L, 5, 0.0f)));
    return 0;
}

int CLuaPhysics::deleteJoint(lua_State* L)
{
    if (lua_gettop(L) >= 1 && hasWorld())
        m_physics->deleteJoint(integerArg(L, 1, 0));
    return 0;
}

int CLuaPhysics::createDistanceJoint(lua_State* L)
{
    CPhysicsEntity* a = entityArg(L, 1, 2);
    CPhysicsEntity* b = a ? entityArg(L, 2) : nullptr;
    if (!a || !b)
        return 0;
    b2Vec2 anchorA(numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f));
    b2Vec2 anchorB(numberArg(L, 5, 1.0f), numberArg(L, 6, 0.0f));
    int id = -1;
    if (box2d::isUsable(anchorA) && box2d::isUsable(anchorB))
    {
        b2DistanceJointDef def;
        // Rigid: no stiffness, so no spring.
        def.Initialize(a->getBody(), b->getBody(), anchorA, anchorB);
        def.collideConnected = flagArg(L, 7, true);
        id = m_physics->createJoint(def);
    }
    return pushJointId(L, id);
}

int CLuaPhysics::createRevoluteJoint(lua_State* L)
{
    CPhysicsEntity* a = entityArg(L, 1, 2);
    CPhysicsEntity* b = a ? entityArg(L, 2) : nullptr;
    if (!a || !b)
        return 0;
    b2Vec2 anchor(numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f));
    SJointOptions o = readJointOptions(L, 5, "lowerAngle", "upperAngle", "maxMotorTorque");
    int id = -1;
    if (box2d::isUsable(anchor) && usableOptions(o))
    {
        b2RevoluteJointDef def;
        def.Initialize(a->getBody(), b->getBody(), anchor);
        def.collideConnected = false;
        def.lowerAngle = o.lower;
        def.upperAngle = o.upper;
        def.maxMotorTorque = o.maxMotor;
        def.motorSpeed = o.motorSpeed;
        def.enableLimit = o.enableLimit;
        def.enableMotor = o.enableMotor;
        id = m_physics->createJoint(def);
    }
    return pushJointId(L, id);
}

int CLuaPhysics::createPrismaticJoint(lua_State* L)
{
    CPhysicsEntity* a = entityArg(L, 1, 2);
    CPhysicsEntity* b = a ? entityArg(L, 2) : nullptr;
    if (!a || !b)
        return 0;
    b2Vec2 anchor(numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f));
    b2Vec2 axis(numberArg(L, 5, 1.0f), numberArg(L, 6, 0.0f));
    SJointOptions o =
        readJointOptions(L, 7, "lowerTranslation", "upperTranslation", "maxMotorForce");
    int id = -1;
    // An axis of no length has no direction to slide along.
    if (box2d::isUsable(anchor) && box2d::isUsable(axis) && axis.LengthSquared() > 0.0f &&
        usableOptions(o))
    {
        b2PrismaticJointDef def;
        def.Initialize(a->getBody(), b->getBody(), anchor, axis);
        def.collideConnected = false;
        def.lowerTranslation = o.lower;
        def.upperTranslation = o.upper;
        def.maxMotorForce = o.maxMotor;
        def.motorSpeed = o.motorSpeed;
        def.enableLimit = o.enableLimit;
        def.enableMotor = o.enableMotor;
        id = m_physics->createJoint(def);
    }
    return pushJointId(L, id);
}

int CLuaPhysics::getJointData(lua_State* L)
{
    b2Joint* joint = hasWorld() && lua_gettop(L) >= 1 ? m_physics->findJoint(integerArg(L, 1, 0))
                                                      : nullptr;
    if (!joint)
        return 0;
    b2Vec2 a1 = joint->GetAnchorA();
    b2Vec2 a2 = joint->GetAnchorB();
    lua_newtable(L);
    setNumber(L, "a1x", a1.x);
    setNumber(L, "a1y", a1.y);
    setNumber(L, "a2x", a2.x);
    setNumber(L, "a2y", a2.y);
    switch (joint->GetType())
    {
    case e_revoluteJoint:
    {
        auto* r = static_cast<b2RevoluteJoint*>(joint);
        lua_pushliteral(L, "revolute");
        lua_setfield(L, -2, "type");
        setNumber(L, "angle", r->GetJointAngle());
        setNumber(L, "speed", r->GetJointSpeed());
        break;
    }
    case e_prismaticJoint:
    {
        auto* p = static_cast<b2PrismaticJoint*>(joint);
        lua_pushliteral(L, "prismatic");
        lua_setfield(L, -2, "type");
        setNumber(L, "translation", p->GetJointTranslation());
        setNumber(L, "speed", p->GetJointSpeed());
        break;
    }
    case e_distanceJoint:
        lua_pushliteral(L, "distance");
        lua_setfield(L, -2, "type");
        break;
    default:
        break;
    }
    return 1;
}

namespace
{

// Runs `action` on a revolute or prismatic joint and wakes both its bodies.
template <class Revolute, class Prismatic>
void motorAction(b2Joint* joint, Revolute revolute, Prismatic prismatic)
{
    if (!joint)
        return;
    if (joint->GetType() == e_revoluteJoint)
        revolute(static_cast<b2RevoluteJoint*>(joint));
    else if (joint->GetType() == e_prismaticJoint)
        prismatic(static_cast<b2PrismaticJoint*>(joint));
    else
        return;
    wakeBody(joint->GetBodyA());
    wakeBody(joint->GetBodyB());
}

} // namespace

int CLuaPhysics::setJointMotorEnabled(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    bool on = lua_toboolean(L, 2) != 0;
    motorAction(
        m_physics->findJoint(integerArg(L, 1, 0)), [&](b2RevoluteJoint* j) { j->EnableMotor(on); },
        [&](b2PrismaticJoint* j) { j->EnableMotor(on); });
    return 0;
}

int CLuaPhysics::setJointLimitEnabled(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    bool on = lua_toboolean(L, 2) != 0;
    motorAction(
        m_physics->findJoint(integerArg(L, 1, 0)), [&](b2RevoluteJoint* j) { j->EnableLimit(on); },
        [&](b2PrismaticJoint* j) { j->EnableLimit(on); });
    return 0;
}

int CLuaPhysics::setJointMotorForce(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    float value = numberArg(L, 2, 0.0f);
    if (!box2d::isUsable(value))
        return 0;
    motorAction(
        m_physics->findJoint(integerArg(L, 1, 0)),
        [&](b2RevoluteJoint* j) { j->SetMaxMotorTorque(value); },
        [&](b2PrismaticJoint* j) { j->SetMaxMotorForce(value); });
    return 0;
}

int CLuaPhysics::setJointMotorSpeed(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    float speed = numberArg(L, 2, 0.0f);
    if (!box2d::isUsable(speed))
        return 0;
    motorAction(
        m_physics->findJoint(integerArg(L, 1, 0)),
        [&](b2RevoluteJoint* j) { j->SetMotorSpeed(speed); },
        [&](b2PrismaticJoint* j) { j->SetMotorSpeed(speed); });
    return 0;
}

int CLuaPhysics::getCurrentJointMotorSpeed(lua_State* L)
{
    b2Joint* joint = hasWorld() && lua_gettop(L) >= 1 ? m_physics->findJoint(integerArg(L, 1, 0))
                                                      : nullptr;
    if (!joint)
        return 0;
    if (joint->GetType() == e_revoluteJoint)
        lua_pushnumber(L, static_cast<b2RevoluteJoint*>(joint)->GetJointSpeed());
    else if (joint->GetType() == e_prismaticJoint)
        lua_pushnumber(L, static_cast<b2PrismaticJoint*>(joint)->GetJointSpeed());
    else
        return 0;
    return 1;
}

int CLuaPhysics::rayCast(lua_State* L, double x1, double y1, double x2, double y2, bool solid,
                         bool filtered, int filterIndex)
{
    b2Filter filter;
    if (filtered)
    {
        filter.categoryBits = bits16(integerArg(L, filterIndex, 0xFFFF));
        filter.maskBits = bits16(integerArg(L, filterIndex + 1, 0xFFFF));
        filter.groupIndex = group16(integerArg(L, filterIndex + 2, 0));
    }
    box2d::SRayCastHit hit;
    b2Vec2 p1(toFloat(x1), toFloat(y1));
    b2Vec2 p2(toFloat(x2), toFloat(y2));
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

int CLuaPhysics::raycastDirection(lua_State* L)
{
    if (lua_gettop(L) < 3 || !hasWorld())
    {
        lua_pushnil(L);
        return 1;
    }
    double x = numberArg(L, 1, 0.0f);
    double y = numberArg(L, 2, 0.0f);
    double angle = numberArg(L, 3, 0.0f);
    bool filtered = lua_gettop(L) >= 5;
    return rayCast(L, x, y, x + 10000.0 * std::cos(angle), y + 10000.0 * std::sin(angle),
                   flagArg(L, 4, false), filtered, 5);
}

int CLuaPhysics::raycastPoints(lua_State* L)
{
    if (lua_gettop(L) < 4 || !hasWorld())
    {
        lua_pushnil(L);
        return 1;
    }
    bool filtered = lua_gettop(L) >= 6;
    return rayCast(L, numberArg(L, 1, 0.0f), numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f),
                   numberArg(L, 4, 0.0f), flagArg(L, 5, false), filtered, 6);
}

} // namespace zu::lua
