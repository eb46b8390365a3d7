#include "video/null/CParticleCurveEvaluator.h"

#include "video/ParticlePackageFormat.h"

#include <cmath>

using namespace zu::video::particlefile;

namespace kelvo::video
{

float CParticleCurveEvaluator::shape(int32_t type, float t, float previousT, float dt)
{
    // Whole parts are taken in floating point, so a wild t from a file is
    // never turned into an integer.
    switch (type)
    {
    case CURVE_CONSTANT:
        return 1.f;
    case CURVE_LINEAR:
        return t;
    case CURVE_SINE:
        return std::sin(t);
    case CURVE_TRIANGLE:
    {
        // The whole part with its lowest bit cleared is the even number at
        // or below it, so x runs 0 .. 2 over each period.
        const float whole = std::trunc(t);
        const float x = t - 2.f * std::floor(whole * 0.5f);
        if (x < 0.5f) return 2.f * x;
        if (x < 1.5f) return 2.f * (1.f - x);
        return 2.f * (x - 2.f);
    }
    case CURVE_SQUARE:
        return t - std::floor(t) < 0.5f ? 1.f : -1.f;
    case CURVE_IMPULSE:
    {
        const float whole = std::trunc(t);
        if (whole == std::trunc(previousT) && previousT != 0.f) return 0.f;
        if (!(dt > 0.f)) return 0.f;
        return std::fmod(whole, 2.f) != 0.f ? -1.f / dt : 1.f / dt;
    }
    case CURVE_EXP:
        return std::exp(t);
    case CURVE_NEG_EXP:
        return std::exp(-t);
    default:
        return 0.f;
    }
}

float CParticleCurveEvaluator::step(float dt)
{
    const float previous = m_elapsed;
    m_elapsed += dt;
    if (!m_curve) return m_value = 0.f;
    const zu::video::SParticleCurve& c = *m_curve;
    const float previousT = c.frequency * previous + c.phase;
    const float t = c.frequency * m_elapsed + c.phase;
    float value = shape(c.type, t, previousT, dt);
    if (c.clamp == CLAMP_ABS)
        value = std::fabs(value);
    else if (c.clamp == CLAMP_POSITIVE && value < 0.f)
        value = 0.f;
    m_value = value * c.amplitude;
    return m_value;
}

} // namespace kelvo::video
