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

#include "lua/luaCpp/CLuaArgs.h"
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
    static constexpr EArgRule argRule = EAR_LENIENT;
    static const SLuaMethod<CLuaPhysics> methods[];

    // Physics(lowerX, lowerY, upperX, upperY, gravityX, gravityY), all
    // optional: bounds -1000..1000, no gravity.
    static CLuaPhysics* construct(const CLuaArgs& args);

    explicit CLuaPhysics(box2d::CPhysics* physics) : m_physics(physics) {}
    virtual ~CLuaPhysics();
    CLuaPhysics(const CLuaPhysics&) = delete;
    CLuaPhysics& operator=(const CLuaPhysics&) = delete;

    box2d::CPhysics* getPhysics() const { return m_physics; }

    // Methods, in the order of the method list.
    int update(const CLuaArgs& args);
    int setGravity(const CLuaArgs& args);
    int createEntity(const CLuaArgs& args);
    int deleteEntity(const CLuaArgs& args);
    int addCircleShape(const CLuaArgs& args);
    int addBoxShape(const CLuaArgs& args);
    int addPolygonShape(const CLuaArgs& args);
    int addEdgeShape(const CLuaArgs& args);
    int setEntityShapeFilters(const CLuaArgs& args);
    int setEntityShapeIndexFilters(const CLuaArgs& args);
    int setEntityShapeIndexGroup(const CLuaArgs& args);
    int setEntityFilters(const CLuaArgs& args);
    int setEntityGroup(const CLuaArgs& args);
    int activateEntity(const CLuaArgs& args);
    int deactivateEntity(const CLuaArgs& args);
    int isEntityActive(const CLuaArgs& args);
    int getEntityPosition(const CLuaArgs& args);
    int getEntityXForm(const CLuaArgs& args);
    int getEntitySpeed(const CLuaArgs& args);
    int getEntityAngle(const CLuaArgs& args);
    int getEntityAngleSpeed(const CLuaArgs& args);
    int getEntityMass(const CLuaArgs& args);
    int getEntityShapes(const CLuaArgs& args);
    int getEntityCollisions(const CLuaArgs& args);
    int getEntityCollisionCount(const CLuaArgs& args);
    int getEntityCollision(const CLuaArgs& args);
    int getEntitySensorPoints(const CLuaArgs& args);
    int getEntitySensorPoint(const CLuaArgs& args);
    int getEntitySensorPointCount(const CLuaArgs& args);
    int setEntityPosition(const CLuaArgs& args);
    int setEntitySpeed(const CLuaArgs& args);
    int setEntityAngleSpeed(const CLuaArgs& args);
    int applyEntityTorque(const CLuaArgs& args);
    int setEntityAngle(const CLuaArgs& args);
    int setEntityGravityEnable(const CLuaArgs& args);
    int isEntitySleeping(const CLuaArgs& args);
    int getEntityFatigue(const CLuaArgs& args);
    int wakeUpEntity(const CLuaArgs& args);
    int putEntityToSleep(const CLuaArgs& args);
    int applyEntityForce(const CLuaArgs& args);
    int applyEntityImpulse(const CLuaArgs& args);
    int deleteJoint(const CLuaArgs& args);
    int createDistanceJoint(const CLuaArgs& args);
    int createRevoluteJoint(const CLuaArgs& args);
    int createPrismaticJoint(const CLuaArgs& args);
    int getJointData(const CLuaArgs& args);
    int setJointMotorEnabled(const CLuaArgs& args);
    int setJointLimitEnabled(const CLuaArgs& args);
    int setJointMotorForce(const CLuaArgs& args);
    int setJointMotorSpeed(const CLuaArgs& args);
    int getCurrentJointMotorSpeed(const CLuaArgs& args);
    int raycastDirection(const CLuaArgs& args);
    int raycastPoints(const CLuaArgs& args);

private:
    bool hasWorld() const;
    // The entity named by argument `index`, or null (also without a world
    // and when the call passed fewer than `minArgs` arguments).
    box2d::CPhysicsEntity* entityArg(const CLuaArgs& args, int index, int minArgs = 0) const;
    int collisionList(const CLuaArgs& args, bool sensors);
    int rayCast(const CLuaArgs& args, double x1, double y1, double x2, double y2, bool solid,
                bool filtered, int filterIndex);

    box2d::CPhysics* m_physics;
};

} // namespace zu::lua
