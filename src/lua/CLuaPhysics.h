// CLuaPhysics: the native side of the script class Physics. Each object owns
// one physics world (CPhysics) and deletes it with itself, so a collected
// Physics value takes its bodies and joints along.
//
// Methods never raise script errors: numbers that are not numbers read as 0,
// missing arguments take their defaults, and too few arguments, a missing
// world or an unknown entity or joint id give each method's failure result.
// Values the world refuses (NaN, infinities, magnitudes beyond its limits)
// give the same failure results. Definition arguments that are not tables
// count as empty tables.
#pragma once

#include "lua/luaCpp/SLuaMethod.h"

#include <cstdint>

namespace zu::box2d
{
class CPhysics;
class CPhysicsEntity;
}

namespace zu::lua
{

class CLuaPhysics
{
public:
    static constexpr const char* className = "Physics";
    static const SLuaMethod<CLuaPhysics> methods[];

    // Physics(lowerX, lowerY, upperX, upperY, gravityX, gravityY), all
    // optional: bounds -1000..1000, no gravity.
    static CLuaPhysics* construct(lua_State* L);

    explicit CLuaPhysics(box2d::CPhysics* physics) : m_physics(physics) {}
    virtual ~CLuaPhysics();
    CLuaPhysics(const CLuaPhysics&) = delete;
    CLuaPhysics& operator=(const CLuaPhysics&) = delete;

    box2d::CPhysics* getPhysics() const { return m_physics; }

    // Methods, in the order of the method list.
    int update(lua_State* L);
    int setGravity(lua_State* L);
    int createEntity(lua_State* L);
    int deleteEntity(lua_State* L);
    int addCircleShape(lua_State* L);
    int addBoxShape(lua_State* L);
    int addPolygonShape(lua_State* L);
    int addEdgeShape(lua_State* L);
    int setEntityShapeFilters(lua_State* L);
    int setEntityShapeIndexFilters(lua_State* L);
    int setEntityShapeIndexGroup(lua_State* L);
    int setEntityFilters(lua_State* L);
    int setEntityGroup(lua_State* L);
    int activateEntity(lua_State* L);
    int deactivateEntity(lua_State* L);
    int isEntityActive(lua_State* L);
    int getEntityPosition(lua_State* L);
    int getEntityXForm(lua_State* L);
    int getEntitySpeed(lua_State* L);
    int getEntityAngle(lua_State* L);
    int getEntityAngleSpeed(lua_State* L);
    int getEntityMass(lua_State* L);
    int getEntityShapes(lua_State* L);
    int getEntityCollisions(lua_State* L);
    int getEntityCollisionCount(lua_State* L);
    int getEntityCollision(lua_State* L);
    int getEntitySensorPoints(lua_State* L);
    int getEntitySensorPoint(lua_State* L);
    int getEntitySensorPointCount(lua_State* L);
    int setEntityPosition(lua_State* L);
    int setEntitySpeed(lua_State* L);
    int setEntityAngleSpeed(lua_State* L);
    int applyEntityTorque(lua_State* L);
    int setEntityAngle(lua_State* L);
    int setEntityGravityEnable(lua_State* L);
    int isEntitySleeping(lua_State* L);
    int getEntityFatigue(lua_State* L);
    int wakeUpEntity(lua_State* L);
    int putEntityToSleep(lua_State* L);
    int applyEntityForce(lua_State* L);
    int applyEntityImpulse(lua_State* L);
    int deleteJoint(lua_State* L);
    int createDistanceJoint(lua_State* L);
    int createRevoluteJoint(lua_State* L);
    int createPrismaticJoint(lua_State* L);
    int getJointData(lua_State* L);
    int setJointMotorEnabled(lua_State* L);
    int setJointLimitEnabled(lua_State* L);
    int setJointMotorForce(lua_State* L);
    int setJointMotorSpeed(lua_State* L);
    int getCurrentJointMotorSpeed(lua_State* L);
    int raycastDirection(lua_State* L);
    int raycastPoints(lua_State* L);

private:
    bool hasWorld() const;
    // The entity named by argument `index`, or null (also without a world
    // and when the call passed fewer than `minArgs` arguments).
    box2d::CPhysicsEntity* entityArg(lua_State* L, int index, int minArgs = 0) const;
    int collisionList(lua_State* L, bool sensors);
    int rayCast(lua_State* L, double x1, double y1, double x2, double y2, bool solid,
                bool filtered, int filterIndex);

    box2d::CPhysics* m_physics;
};

} // namespace zu::lua
