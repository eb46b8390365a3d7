// CParticleCurveEvaluator: one time curve of a live particle: the curve (of
// its definition, which outlives it), the seconds it has run and its value
// after the last step. A particle has four, for its speed and for the three
// axes of its acceleration.
#pragma once

#include "video/SParticleDefinition.h"

namespace kelvo::video
{

class CParticleCurveEvaluator
{
  public:
    CParticleCurveEvaluator() = default;
    explicit CParticleCurveEvaluator(const zu::video::SParticleCurve& curve) : m_curve(&curve) {}

    // Runs the curve on by dt seconds and returns its new value:
    // t = frequency * elapsed + phase, the type's shape of t, the clamp,
    // times the amplitude. An unknown type (or no curve) gives 0.
    float step(float dt);

    float getValue() const { return m_value; }
    float getElapsed() const { return m_elapsed; }

    // The type's shape at t, before clamp and amplitude; previousT and dt
    // are for the impulse, which fires when t enters a new whole number.
    static float shape(int32_t type, float t, float previousT, float dt);

  private:
    const zu::video::SParticleCurve* m_curve = nullptr;
    float m_elapsed = 0.f;
    float m_value = 0.f;
};

} // namespace kelvo::video
