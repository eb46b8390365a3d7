// IParticleState: one live particle made from a particle package's
// definition. It moves with a velocity shaped by time curves, shows a sprite
// state picked from the definition, fades its colour and scale over its
// lifetime, emits children on a timer, can bounce, and on death spawns the
// particles its death list names for the surface it died on. Its position is
// kept by whoever holds it and handed in on every call.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::video
{

struct SParticleDefinition;
class ISpriteAnimationState;

class IParticleState : public virtual IUnknown
{
  public:
    // Releases the sprite state and gives the particle back to its package;
    // the caller's reference is gone afterwards.
    virtual void release() = 0;
    // Advances by the elapsed seconds and moves the position; false when the
    // particle died (its death particles have been spawned then).
    virtual bool update(float seconds, SVector3f& position) = 0;
    // The sprite at the position, scaled by scale times the particle's scale.
    virtual void draw(const SVector3f& position, float scale) = 0;
    // A black copy of the sprite at alpha times the particle's, for
    // definitions that ask for a shadow.
    virtual void drawShadow(const SVector3f& position, float scale, float alpha) = 0;
    virtual void draw3D(const SVector3f& position) = 0;
    // Reflects the velocity about the surface normal (of length 1); false
    // when that was one bounce more than the definition allows and the
    // particle died.
    virtual bool bounce(const SVector3f& position, const SVector3f& normal) = 0;
    virtual void addVelocity(const SVector3f& velocity) = 0;
    virtual void setVelocity(const SVector3f& velocity) = 0;

    // Null once the package has gone.
    virtual const SParticleDefinition* getDefinition() const = 0;
    virtual core::CString getFirstSpriteName() const = 0;
    // ARGB.
    virtual uint32_t getColor() const = 0;
    virtual float getScale() const = 0;
    virtual bool getFlagA() const = 0;
    virtual float getDrawScale() const = 0;
    virtual int32_t getLevel() const = 0;

    virtual SVector3f getVelocity() const = 0;
    // Radians.
    virtual float getAngle() const = 0;
    virtual float getAge() const = 0;
    // Seconds; 0 lives until something else ends it.
    virtual float getLifetime() const = 0;
    virtual int32_t getEmissionCount() const = 0;
    virtual int32_t getBounceCount() const = 0;
    // Null when the definition names no sprite the sprite package has.
    virtual ISpriteAnimationState* getSprite() const = 0;
};

} // namespace zu::video
