// CPhysicsEntity: one body of the physics world under a small integer id, with
// the contacts it takes part in, the shapes scripts add to it, and the
// bookkeeping the library keeps private in its 2.4 interface: the time the
// body has rested while awake ("fatigue"), and the forces applied since the
// last step (held back and handed to the body when the step's length is
// known, so that no single step can push a speed out of range).
//
// Mass changes only through activate() and deactivate(): shapes are added
// with no mass effect, and activate() computes the mass from all of them.
//
// Callers need none of the library's headers: values come and go as the
// layer's own records, and the library's types appear only as pointers for
// the layer itself (and white-box tests).
#pragma once

#include "box2d/SPhysicsCollision.h"
#include "box2d/SPhysicsFilter.h"
#include "box2d/SPhysicsFixtureDef.h"
#include "box2d/SPhysicsShapeInfo.h"
#include "box2d/SPhysicsTransform.h"
#include "box2d/SVector2.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class b2Body;
class b2Fixture;
class b2Shape;

namespace zu::box2d
{

struct SPhysicsContact;

class CPhysicsEntity
{
  public:
    // Results of the polygon checks, in the order they are made.
    enum EPolygonCheck
    {
        EPC_OK = 0,
        EPC_VERTEX_COUNT,
        EPC_TOO_CLOSE,
        EPC_NOT_CONVEX,
        EPC_NOT_COUNTER_CLOCKWISE,
        // Passed the checks above but cannot carry mass (area next to 0),
        // or has a number out of range.
        EPC_UNUSABLE
    };

    explicit CPhysicsEntity(int id) : m_id(id) {}
    // Deletes the contact records still listed.
    virtual ~CPhysicsEntity();
    CPhysicsEntity(const CPhysicsEntity&) = delete;
    CPhysicsEntity& operator=(const CPhysicsEntity&) = delete;

    int getId() const { return m_id; }
    b2Body* getBody() const { return m_body; }
    void setBody(b2Body* body);
    std::vector<SPhysicsContact*>& getContacts() { return m_contacts; }
    const std::vector<SPhysicsContact*>& getContacts() const { return m_contacts; }
    // Unlists the record (it stays alive).
    void removeContact(const SPhysicsContact* record);
    // The entity a body or a fixture's body belongs to, or null.
    static CPhysicsEntity* ofBody(const b2Body* body);
    static CPhysicsEntity* ofFixture(const b2Fixture* fixture);

    // Shapes, in body coordinates. Each returns false and adds nothing for a
    // number out of range or a negative density, friction or restitution.
    bool addCircle(const SPhysicsFixtureDef& def, const SVector2& center, float radius);
    // With `placed`, the box is centred at `center` and turned by `angle`;
    // otherwise it is the axis-aligned box around the origin. A width or
    // height of 0 or less adds nothing.
    bool addBox(const SPhysicsFixtureDef& def, float width, float height, bool placed,
                const SVector2& center, float angle);
    bool addEdge(const SPhysicsFixtureDef& def, const SVector2& start, const SVector2& end);
    // Runs checkPolygon, then adds the polygon with its vertices in the
    // given order. `corner` receives the first vertex of a failed corner.
    EPolygonCheck addPolygon(const SPhysicsFixtureDef& def, const SVector2* vertices, int count,
                             int* corner = nullptr);
    // The vertex count (3 to MAX_POLYGON_VERTICES), edge length, convexity
    // and winding checks.
    static EPolygonCheck checkPolygon(const SVector2* vertices, int count, int* corner = nullptr);

    // Fixtures numbered 1..count in the order they were added; null when
    // there is no such number.
    b2Fixture* getFixtureByNumber(int64_t number) const;
    int getFixtureCount() const;
    // The text stored with a fixture, or null.
    static const core::CString* getFixtureText(const b2Fixture* fixture);
    // The shapes in the body's order (the most recently added first), in
    // world coordinates.
    std::vector<SPhysicsShapeInfo> getShapes() const;

    // Filters. Each change re-filters the fixture at once, so that its
    // existing contacts are looked at again. With a text, setFilters changes
    // only the fixtures whose text equals it (those without a text never
    // match). The numbered ones return false when there is no such fixture.
    void setFilters(const SPhysicsFilter& filter, const core::CString* text = nullptr);
    bool setFixtureFilter(int64_t number, const SPhysicsFilter& filter);
    // Groups alone: category and mask stay as they are.
    void setGroups(int16_t group);
    bool setFixtureGroup(int64_t number, int16_t group);

    // Mass from the shapes: dynamic when they give a usable mass, otherwise
    // static. With fixed rotation the rotational inertia stays 0.
    void activate();
    void deactivate();
    bool isActive() const;

    // The body's origin (not its centre of mass), read in place: the library
    // keeps a body at one address all its life.
    SVector2 getPosition() const { return {*m_originX, *m_originY}; }
    SPhysicsTransform getTransform() const;
    SVector2 getSpeed() const;
    float getAngle() const;
    float getAngularSpeed() const;
    float getMass() const;

    // Motion. Values out of range are refused (false, nothing changes).
    bool setPosition(const SVector2& position);
    bool setAngle(float angle);
    bool setSpeed(const SVector2& speed);
    bool setAngularSpeed(float speed);
    bool applyForce(const SVector2& point, const SVector2& force);
    bool applyImpulse(const SVector2& point, const SVector2& impulse);
    bool applyTorque(float torque);
    // Gravity exemption through the gravity scale (0 or 1); wakes the body.
    void setGravityEnabled(bool enabled);

    // Sleep: fatigue is 0.5 while asleep, otherwise the time the body has
    // rested while awake.
    bool isSleeping() const;
    float getFatigue() const;
    void wakeUp();
    void putToSleep();

    // Called by the world around each step.
    void beforeStep(float timeStep, const SVector2& gravity);
    void afterStep(float timeStep);

    // The touching contacts of one kind (sensor or not), from this side.
    std::vector<SPhysicsCollision> getCollisions(bool sensors) const;
    size_t getCollisionCount(bool sensors) const;
    // The n-th (from 1) of the same view; false when there are fewer.
    bool getCollision(bool sensors, int64_t n, SPhysicsCollision& out) const;

  private:
    // What the position getter reads while there is no body.
    static constexpr float NO_ORIGIN = 0.0f;

    b2Fixture* createFixture(const SPhysicsFixtureDef& def, const b2Shape& shape);
    SPhysicsCollision view(const SPhysicsContact& record) const;

    int m_id;
    b2Body* m_body = nullptr;
    const float* m_originX = &NO_ORIGIN;
    const float* m_originY = &NO_ORIGIN;
    std::vector<SPhysicsContact*> m_contacts;
    float m_sleepTime = 0.0f;
    SVector2 m_pendingForce;
    float m_pendingTorque = 0.0f;
    float m_invInertia = 0.0f;
};

} // namespace zu::box2d
