#include "CParticleWriter.h"

#include "core/ByteOrder.h"
#include "video/ParticlePackageFormat.h"

#include <cmath>
#include <cstring>

using zu::core::CString;
using zu::video::SParticleCurve;
using zu::video::SParticleDefinition;
namespace particlefile = zu::video::particlefile;

namespace pellora::particlepack
{

namespace
{

class CBytes
{
  public:
    std::vector<uint8_t> bytes;

    void integer(int32_t value)
    {
        uint8_t b[4];
        zu::core::writeLE32(b, uint32_t(value));
        bytes.insert(bytes.end(), b, b + 4);
    }
    void flag(bool value) { integer(value ? 1 : 0); }
    void real(float value)
    {
        uint32_t bits;
        memcpy(&bits, &value, sizeof bits);
        integer(int32_t(bits));
    }
    void text(const CString& value)
    {
        bytes.insert(bytes.end(), value.data(), value.data() + value.size());
        bytes.push_back(0);
    }
    void list(const std::vector<CString>& values)
    {
        integer(int32_t(values.size()));
        for (const CString& value : values)
            text(value);
    }
    void curve(const SParticleCurve& c)
    {
        real(c.amplitude);
        real(CParticleWriter::storedFrequency(c.frequency));
        real(CParticleWriter::storedFrequency(c.phase));
        integer(c.type);
        integer(c.clamp);
    }
};

} // namespace

float CParticleWriter::storedFrequency(float value)
{
    const float unit = particlefile::FREQUENCY_UNIT;
    const float plain = float(double(value) * 1000.0);
    if (plain * unit == value || !std::isfinite(value)) return plain;
    float candidate = float(double(value) / double(unit));
    for (int i = 0; i < 3; ++i)
        candidate = std::nextafter(candidate, -HUGE_VALF);
    for (int i = 0; i < 7; ++i, candidate = std::nextafter(candidate, HUGE_VALF))
        if (candidate * unit == value) return candidate;
    return plain;
}

std::vector<uint8_t> CParticleWriter::write(const std::vector<SParticleDefinition>& definitions)
{
    CBytes out;
    out.integer(particlefile::NEWEST_VERSION);
    out.integer(int32_t(definitions.size()));
    for (const SParticleDefinition& d : definitions)
    {
        out.text(d.name);
        out.text(d.sprites);
        out.text(d.sounds);
        for (const SParticleCurve* c : {&d.speedCurve, &d.curveX, &d.curveY, &d.curveZ})
            out.curve(*c);
        out.flag(d.flagA);
        out.flag(d.shadow);
        out.flag(d.normalizeSpeed);
        for (int32_t v :
             {d.angleZMin, d.angleYMin, d.speedMin, d.angleZMax, d.angleYMax, d.speedMax})
            out.integer(v);
        out.real(d.inheritFactor);
        out.real(d.bounceFactor);
        out.integer(d.maxBounces);
        out.real(d.drawScale);
        out.integer(d.lifeMin);
        out.integer(d.lifeMax);
        out.flag(d.skipFirstEmission);
        out.flag(d.mirrorByDirection);
        out.flag(d.faceDirection);
        out.flag(d.dieWithAnimation);
        for (int32_t v : d.colorStart)
            out.integer(v);
        for (int32_t v : d.colorEnd)
            out.integer(v);
        out.real(d.scaleStart);
        out.real(d.scaleEnd);
        out.list(d.deathList);
        out.real(d.rotationSpeed);
        for (int32_t v : {d.emitMin, d.emitMax, d.burstMin, d.burstMax, d.intervalMin,
                          d.intervalMax, d.maxEmissions})
            out.integer(v);
        for (float v : {d.offsetMin.x, d.offsetMin.y, d.offsetMin.z, d.offsetMax.x, d.offsetMax.y,
                        d.offsetMax.z})
            out.real(v);
        out.list(d.children);
        out.integer(d.level);
    }
    return std::move(out.bytes);
}

} // namespace pellora::particlepack
