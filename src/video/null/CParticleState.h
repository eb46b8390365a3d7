// CParticleState: a live particle of a CParticlePackage (see
// IParticleState). Random choices (its sprite, speed, direction, lifetime,
// children, offsets) come from the shared CParticleRandom.
#pragma once

#include "video/IParticleState.h"
#include "video/null/CParticleCurveEvaluator.h"

#include <cstddef>

namespace zu::video
{
class ISpriteAnimationImage;
class ISpritePackage;
} // namespace zu::video

namespace kelvo::video
{

class CParticlePackage;

class CParticleState : public zu::video::IParticleState
{
  public:
    using CString = zu::core::CString;
    using SVector3f = zu::video::SVector3f;

    // Picks the sprite, the start velocity and the lifetime. The package and
    // the definition must outlive the state or cut it loose first (detach);
    // the sprite package is grabbed while the sprite lives.
    CParticleState(CParticlePackage* package, const zu::video::SParticleDefinition* definition,
                   zu::video::ISpritePackage* sprites);
    ~CParticleState() override;

    // Particles come from blocks of their own (see the .cpp file).
    static void* operator new(size_t size);
    static void operator delete(void* memory, size_t size);

    void release() override;
    bool update(float seconds, SVector3f& position) override;
    void draw(const SVector3f& position, float scale) override;
    void drawShadow(const SVector3f& position, float scale, float alpha) override;
    void draw3D(const SVector3f& position) override;
    bool bounce(const SVector3f& position, const SVector3f& normal) override;
    void addVelocity(const SVector3f& velocity) override;
    void setVelocity(const SVector3f& velocity) override { m_velocity = velocity; }

    const zu::video::SParticleDefinition* getDefinition() const override { return m_definition; }
    CString getFirstSpriteName() const override;
    uint32_t getColor() const override { return m_color; }
    float getScale() const override { return m_scale; }
    bool getFlagA() const override;
    float getDrawScale() const override;
    int32_t getLevel() const override;

    SVector3f getVelocity() const override { return m_velocity; }
    float getAngle() const override { return m_angle; }
    float getAge() const override { return m_age; }
    float getLifetime() const override { return m_lifetime; }
    int32_t getEmissionCount() const override { return m_emissionCount; }
    int32_t getBounceCount() const override { return m_bounceCount; }
    // Its time is brought up to date whenever its frame is due.
    zu::video::ISpriteAnimationState* getSprite() const override { return m_sprite; }

    // Called by the package as it goes: the particle keeps no pointer to it
    // or its definitions, gives its sprite back and dies on its next update.
    void detach();

  private:
    // The emission once the timer ran out; false when the particle died.
    bool emit(const SVector3f& position);
    // One child of a random available name; false when none could be placed
    // (no host, nothing available, or the host is full).
    bool emitChild(const SVector3f& position);
    // A particle of the named definition where this one is, with this one's
    // velocity times its inheritFactor, handed to the host.
    bool spawnChild(const CString& name, const SVector3f& position);
    // The death rules: what the death list names for the surface here.
    void die(const SVector3f& position);
    // Advances the sprite; true when its animation came back to its start.
    bool advanceSprite(float dt);
    void releaseSprite();

    CParticlePackage* m_package;
    const zu::video::SParticleDefinition* m_definition;
    zu::video::ISpriteAnimationState* m_sprite = nullptr;
    zu::video::ISpritePackage* m_spritePackage = nullptr;
    // The sprite's current frame, drawn without going through the state, and
    // the time until the frame is due and the time gathered for it meanwhile:
    // a particle whose picture does not change never touches its sprite.
    zu::video::ISpriteAnimationImage* m_image = nullptr;
    float m_spriteWait = 0.f;
    float m_spriteTime = 0.f;
    SVector3f m_velocity;
    float m_lifetime = 0.f;
    uint32_t m_color = 0xFFFFFFFF;
    float m_scale = 1.f;
    float m_angle = 0.f;
    // Where the last draw was, for faceDirection; -1000 until the first.
    float m_previousX = -1000.f;
    float m_previousY = -1000.f;
    bool m_drawn = false;
    float m_emissionTimer = 0.f;
    float m_burstLeft = 0.f;
    float m_burstInterval = 0.f;
    float m_burstTimer = 0.f;
    int32_t m_emissionCount = 0;
    int32_t m_bounceCount = 0;
    // Speed, then the x, y and z accelerations.
    CParticleCurveEvaluator m_curves[4];
    float m_age = 0.f;
    bool m_soundPlayed = false;
};

} // namespace kelvo::video
