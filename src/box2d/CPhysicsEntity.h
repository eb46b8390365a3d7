// CPhysicsEntity: one body of the physics world under a small integer id, with
// the contacts it takes part in, the shapes scripts add to it, and the
// bookkeeping the library keeps private in its 2.4 interface: the time the
// body has rested while awake ("fatigue"), and the forces applied since the
// last step (held back and handed to the body when the step's length is
// known, so that no single step can push a speed out of range).
//
// Mass changes only through activate() and deactivate(): shapes are added
// with no mass effect, and activate() computes the mass from all of them.
#pragma once

#include "box2d/SPhysicsCollision.h"
#include "box2d/SPhysicsContact.h"
#include "box2d/SPhysicsFixtureDef.h"

#include <box2d/b2_math.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class b2Body;
class b2Fixture;
class b2Shape;

namespace zu::box2d
{

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
    void setBody(b2Body* body) { m_body = body; }
    std::vector<SPhysicsContact*>& getContacts() { return m_contacts; }
    const std::vector<SPhysicsContact*>& getContacts() const { return m_contacts; }
    // Unlists the record (it stays alive).
    void removeContact(const SPhysicsContact* record);

    // Shapes, in body coordinates. Each returns false and adds nothing for a
    // number out of range or a negative density, friction or restitution.
    bool addCircle(const SPhysicsFixtureDef& def, const b2Vec2& center, float radius);
    // With `placed`, the box is centred at `center` and turned by `angle`;
    // otherwise it is the axis-aligned box around the origin. A width or
    // height of 0 or less adds nothing.
    bool addBox(const SPhysicsFixtureDef& def, float width, float height, bool placed,
                const b2Vec2& center, float angle);
    bool addEdge(const SPhysicsFixtureDef& def, const b2Vec2& start, const b2Vec2& end);
    // Runs checkPolygon, then adds the polygon with its vertices in the
    // given order. `corner` receives the first vertex of a failed corner.
    EPolygonCheck addPolygon(const SPhysicsFixtureDef& def, const b2Vec2* vertices, int count,
                             int* corner = nullptr);
    // The vertex count (3 to 8), edge length, convexity and winding checks.
    static EPolygonCheck checkPolygon(const b2Vec2* vertices, int count, int* corner = nullptr);

    // Fixtures numbered 1..count in the order they were added; null when
    // there is no such number.
    b2Fixture* getFixtureByNumber(int64_t number) const;
    int getFixtureCount() const;
    // The text stored with a fixture, or null.
    static const core::CString* getFixtureText(const b2Fixture* fixture);

    // Mass from the shapes: dynamic when they give a usable mass, otherwise
    // static. With fixed rotation the rotational inertia stays 0.
    void activate();
    void deactivate();
    bool isActive() const;

    // Motion. Values out of range are refused (false, nothing changes).
    bool setPosition(const b2Vec2& position);
    bool setAngle(float angle);
    bool setSpeed(const b2Vec2& speed);
    bool setAngularSpeed(float speed);
    bool applyForce(const b2Vec2& point, const b2Vec2& force);
    bool applyImpulse(const b2Vec2& point, const b2Vec2& impulse);
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
    void beforeStep(float timeStep, const b2Vec2& gravity);
    void afterStep(float timeStep);

    // The touching contacts of one kind (sensor or not), from this side.
    std::vector<SPhysicsCollision> getCollisions(bool sensors) const;
    size_t getCollisionCount(bool sensors) const;
    // The n-th (from 1) of the same view; false when there are fewer.
    bool getCollision(bool sensors, int64_t n, SPhysicsCollision& out) const;

private:
    b2Fixture* createFixture(const SPhysicsFixtureDef& def, const b2Shape& shape);
    SPhysicsCollision view(const SPhysicsContact& record) const;

    int m_id;
    b2Body* m_body = nullptr;
    std::vector<SPhysicsContact*> m_contacts;
    float m_sleepTime = 0.0f;
    b2Vec2 m_pendingForce = b2Vec2_zero;
    float m_pendingTorque = 0.0f;
    float m_invInertia = 0.0f;
};

} // namespace zu::box2d
