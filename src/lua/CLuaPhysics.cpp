#include "lua/CLuaPhysics.h"

#include "box2d/CPhysics.h"
#include "box2d/PhysicsLimits.h"
#include "lua/luaCpp/LuaHelpers.h"

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
using box2d::SVector2;

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

CLuaPhysics* CLuaPhysics::construct(lua_State* L)
{
    SVector2 lower{numberArg(L, 1, -1000.0f), numberArg(L, 2, -1000.0f)};
    SVector2 upper{numberArg(L, 3, 1000.0f), numberArg(L, 4, 1000.0f)};
    SVector2 gravity{numberArg(L, 5, 0.0f), numberArg(L, 6, 0.0f)};
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
    m_physics->setGravity({numberArg(L, 1, 0.0f), numberArg(L, 2, 0.0f)});
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
    lua_pushboolean(L, entity->addCircle(def, {shape.x, shape.y}, shape.radius));
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
                                      {shape.x, shape.y}, shape.angle));
    return 1;
}

int CLuaPhysics::addPolygonShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 4);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    walkTable(L, 2, [&](const char* key) { readFixtureKey(L, key, def); });
    float xs[box2d::MAX_POLYGON_VERTICES];
    float ys[box2d::MAX_POLYGON_VERTICES];
    int xCount = readCoordinates(L, 3, xs);
    int yCount = readCoordinates(L, 4, ys);
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

int CLuaPhysics::addEdgeShape(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    SPhysicsFixtureDef def;
    SShapeKeys shape;
    readShapeTable(L, 2, def, shape);
    lua_pushboolean(L,
                    entity->addEdge(def, {shape.startX, shape.startY}, {shape.endX, shape.endY}));
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
    entity->setFilters({category, mask, group}, byText ? &text : nullptr);
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::setEntityShapeIndexFilters(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    int64_t index = integerArg(L, 2, 0);
    if (!entity->setFixtureFilter(index, {bits16(integerArg(L, 3, 0)), bits16(integerArg(L, 4, 0)),
                                          group16(integerArg(L, 5, 0))}))
        return pushFalse(L);
    lua_pushinteger(L, lua_Integer(index));
    return 1;
}

int CLuaPhysics::setEntityShapeIndexGroup(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    entity->setFixtureGroup(integerArg(L, 2, 0), group16(integerArg(L, 3, 0)));
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
    entity->setFilters({category, mask, group});
    lua_pushboolean(L, 1);
    return 1;
}

int CLuaPhysics::setEntityGroup(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 2);
    if (!entity)
        return pushFalse(L);
    entity->setGroups(group16(integerArg(L, 2, 0)));
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
    SVector2 p = entity->getPosition();
    lua_pushnumber(L, p.x);
    lua_pushnumber(L, p.y);
    return 2;
}

int CLuaPhysics::getEntityXForm(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    box2d::SPhysicsTransform xf = entity->getTransform();
    lua_pushnumber(L, xf.position.x);
    lua_pushnumber(L, xf.position.y);
    lua_pushnumber(L, xf.cosine);
    lua_pushnumber(L, xf.sine);
    lua_pushnumber(L, -xf.sine);
    lua_pushnumber(L, xf.cosine);
    return 6;
}

int CLuaPhysics::getEntitySpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    SVector2 v = entity->getSpeed();
    lua_pushnumber(L, v.x);
    lua_pushnumber(L, v.y);
    return 2;
}

int CLuaPhysics::getEntityAngle(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getAngle());
    return 1;
}

int CLuaPhysics::getEntityAngleSpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getAngularSpeed());
    return 1;
}

int CLuaPhysics::getEntityMass(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
    if (!entity)
        return 0;
    lua_pushnumber(L, entity->getMass());
    return 1;
}

int CLuaPhysics::getEntityShapes(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1);
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
    if (entity) entity->setPosition({numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)});
    return 0;
}

int CLuaPhysics::setEntitySpeed(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 3);
    if (entity) entity->setSpeed({numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)});
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
        entity->applyForce({numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)},
                           {numberArg(L, 4, 0.0f), numberArg(L, 5, 0.0f)});
    return 0;
}

int CLuaPhysics::applyEntityImpulse(lua_State* L)
{
    CPhysicsEntity* entity = entityArg(L, 1, 5);
    if (entity)
        entity->applyImpulse({numberArg(L, 2, 0.0f), numberArg(L, 3, 0.0f)},
                             {numberArg(L, 4, 0.0f), numberArg(L, 5, 0.0f)});
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
    SVector2 anchorA{numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f)};
    SVector2 anchorB{numberArg(L, 5, 1.0f), numberArg(L, 6, 0.0f)};
    return pushJointId(
        L, m_physics->createDistanceJoint(*a, *b, anchorA, anchorB, flagArg(L, 7, true)));
}

int CLuaPhysics::createRevoluteJoint(lua_State* L)
{
    CPhysicsEntity* a = entityArg(L, 1, 2);
    CPhysicsEntity* b = a ? entityArg(L, 2) : nullptr;
    if (!a || !b)
        return 0;
    SVector2 anchor{numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f)};
    box2d::SPhysicsJointOptions o =
        readJointOptions(L, 5, "lowerAngle", "upperAngle", "maxMotorTorque");
    return pushJointId(L, m_physics->createRevoluteJoint(*a, *b, anchor, o));
}

int CLuaPhysics::createPrismaticJoint(lua_State* L)
{
    CPhysicsEntity* a = entityArg(L, 1, 2);
    CPhysicsEntity* b = a ? entityArg(L, 2) : nullptr;
    if (!a || !b)
        return 0;
    SVector2 anchor{numberArg(L, 3, -1.0f), numberArg(L, 4, 0.0f)};
    SVector2 axis{numberArg(L, 5, 1.0f), numberArg(L, 6, 0.0f)};
    box2d::SPhysicsJointOptions o =
        readJointOptions(L, 7, "lowerTranslation", "upperTranslation", "maxMotorForce");
    return pushJointId(L, m_physics->createPrismaticJoint(*a, *b, anchor, axis, o));
}

int CLuaPhysics::getJointData(lua_State* L)
{
    box2d::SPhysicsJointData joint;
    if (!hasWorld() || lua_gettop(L) < 1 || !m_physics->getJointData(integerArg(L, 1, 0), joint))
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

int CLuaPhysics::setJointMotorEnabled(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorEnabled(integerArg(L, 1, 0), lua_toboolean(L, 2) != 0);
    return 0;
}

int CLuaPhysics::setJointLimitEnabled(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    m_physics->setJointLimitEnabled(integerArg(L, 1, 0), lua_toboolean(L, 2) != 0);
    return 0;
}

int CLuaPhysics::setJointMotorForce(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorForce(integerArg(L, 1, 0), numberArg(L, 2, 0.0f));
    return 0;
}

int CLuaPhysics::setJointMotorSpeed(lua_State* L)
{
    if (lua_gettop(L) < 2 || !hasWorld())
        return 0;
    m_physics->setJointMotorSpeed(integerArg(L, 1, 0), numberArg(L, 2, 0.0f));
    return 0;
}

int CLuaPhysics::getCurrentJointMotorSpeed(lua_State* L)
{
    float speed = 0.0f;
    if (!hasWorld() || lua_gettop(L) < 1 ||
        !m_physics->getJointMotorSpeed(integerArg(L, 1, 0), speed))
        return 0;
    lua_pushnumber(L, speed);
    return 1;
}

int CLuaPhysics::rayCast(lua_State* L, double x1, double y1, double x2, double y2, bool solid,
                         bool filtered, int filterIndex)
{
    box2d::SPhysicsFilter filter;
    if (filtered)
    {
        filter.category = bits16(integerArg(L, filterIndex, 0xFFFF));
        filter.mask = bits16(integerArg(L, filterIndex + 1, 0xFFFF));
        filter.group = group16(integerArg(L, filterIndex + 2, 0));
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
