#include "video/null/CParticlePackageReader.h"

#include "io/IReadFile.h"
#include "video/ParticlePackageFormat.h"
#include "video/null/CByteCursor.h"

#include <cstdio>

using zu::core::CString;
using zu::video::SParticleCurve;
using zu::video::SParticleDefinition;
using namespace zu::video::particlefile;

namespace kelvo::video
{

namespace
{

// Reads the fields of one definition in file order; the first field that is
// not there names itself in `missing`.
class CDefinitionReader
{
  public:
    CDefinitionReader(CByteCursor& in, int32_t version) : m_in(in), m_version(version) {}

    const char* missing = nullptr;

    void integer(int32_t& value, const char* field)
    {
        if (!missing && !m_in.readInt(value)) missing = field;
    }
    void flag(bool& value, const char* field)
    {
        int32_t stored = 0;
        integer(stored, field);
        if (!missing) value = stored != 0;
    }
    void real(float& value, const char* field)
    {
        if (!missing && !m_in.readFloat(value)) missing = field;
    }
    void text(CString& value, const char* field)
    {
        if (!missing && !m_in.readString(value)) missing = field;
    }
    // A count and that many strings; every string takes at least its zero
    // byte, so a count beyond the bytes left fails before anything is made.
    void list(std::vector<CString>& values, const char* field)
    {
        int32_t count = 0;
        integer(count, field);
        if (missing) return;
        if (!m_in.canHold(count, 1))
        {
            missing = field;
            return;
        }
        values.resize(size_t(count));
        for (CString& value : values)
            text(value, field);
    }
    void curve(SParticleCurve& value, const char* field)
    {
        if (!hasCurveRecords(m_version))
        {
            int32_t amplitude = 0;
            integer(amplitude, field);
            value = SParticleCurve();
            value.amplitude = float(amplitude);
            return;
        }
        real(value.amplitude, field);
        real(value.frequency, field);
        real(value.phase, field);
        integer(value.type, field);
        integer(value.clamp, field);
        value.frequency *= FREQUENCY_UNIT;
        value.phase *= FREQUENCY_UNIT;
    }

  private:
    CByteCursor& m_in;
    int32_t m_version;
};

bool readDefinition(CByteCursor& in, int32_t version, SParticleDefinition& d, const char*& missing)
{
    CDefinitionReader r(in, version);
    r.text(d.name, "name");
    r.text(d.sprites, "sprites");
    if (hasSounds(version)) r.text(d.sounds, "sounds");
    r.curve(d.speedCurve, "speedCurve");
    r.curve(d.curveX, "curveX");
    r.curve(d.curveY, "curveY");
    r.curve(d.curveZ, "curveZ");
    if (hasFlagA(version)) r.flag(d.flagA, "flagA");
    if (hasShadow(version))
    {
        r.flag(d.shadow, "shadow");
        r.flag(d.normalizeSpeed, "normalizeSpeed");
    }
    if (hasDirection(version))
    {
        r.integer(d.angleZMin, "angleZMin");
        r.integer(d.angleYMin, "angleYMin");
        r.integer(d.speedMin, "speedMin");
        r.integer(d.angleZMax, "angleZMax");
        r.integer(d.angleYMax, "angleYMax");
        r.integer(d.speedMax, "speedMax");
        r.real(d.inheritFactor, "inheritFactor");
    }
    r.real(d.bounceFactor, "bounceFactor");
    r.integer(d.maxBounces, "maxBounces");
    if (hasDrawScale(version)) r.real(d.drawScale, "drawScale");
    r.integer(d.lifeMin, "lifeMin");
    if (hasLifeMax(version))
        r.integer(d.lifeMax, "lifeMax");
    else
        d.lifeMax = d.lifeMin;
    if (hasMotionFlags(version))
    {
        r.flag(d.skipFirstEmission, "skipFirstEmission");
        r.flag(d.mirrorByDirection, "mirrorByDirection");
        r.flag(d.faceDirection, "faceDirection");
    }
    r.flag(d.dieWithAnimation, "dieWithAnimation");
    for (int32_t& channel : d.colorStart)
        r.integer(channel, "colorStart");
    for (int32_t& channel : d.colorEnd)
        r.integer(channel, "colorEnd");
    r.real(d.scaleStart, "scaleStart");
    r.real(d.scaleEnd, "scaleEnd");
    if (hasDeathListCount(version))
    {
        r.list(d.deathList, "deathList");
    }
    else
    {
        CString only;
        r.text(only, "deathList");
        if (!only.empty()) d.deathList.push_back(only);
    }
    r.real(d.rotationSpeed, "rotationSpeed");
    r.integer(d.emitMin, "emitMin");
    r.integer(d.emitMax, "emitMax");
    r.integer(d.burstMin, "burstMin");
    r.integer(d.burstMax, "burstMax");
    r.integer(d.intervalMin, "intervalMin");
    r.integer(d.intervalMax, "intervalMax");
    r.integer(d.maxEmissions, "maxEmissions");
    r.real(d.offsetMin.x, "offsetMin");
    r.real(d.offsetMin.y, "offsetMin");
    r.real(d.offsetMin.z, "offsetMin");
    r.real(d.offsetMax.x, "offsetMax");
    r.real(d.offsetMax.y, "offsetMax");
    r.real(d.offsetMax.z, "offsetMax");
    r.list(d.children, "children");
    if (hasLevel(version)) r.integer(d.level, "level");
    missing = r.missing;
    if (missing) return false;
    d.spriteNames = CParticlePackageReader::splitNames(d.sprites);
    d.soundNames = CParticlePackageReader::splitNames(d.sounds);
    return true;
}

} // namespace

bool CParticlePackageReader::fail(const CString& problem)
{
    m_problem = problem;
    m_definitions.clear();
    return false;
}

bool CParticlePackageReader::read(const std::vector<uint8_t>& bytes)
{
    m_version = -1;
    m_unsupportedVersion = false;
    m_problem = CString();
    m_definitions.clear();
    CByteCursor in(bytes);
    int32_t version = 0, count = 0;
    if (!in.readInt(version)) return fail("the file is too short for a version");
    char line[160];
    if (!isVersion(version))
    {
        snprintf(line, sizeof line, "Unsupported particle file format: %d", version);
        m_unsupportedVersion = true;
        return fail(line);
    }
    m_version = version;
    if (!in.readInt(count)) return fail("the file ends before the definition count");
    if (!in.canHold(count, size_t(minDefinitionBytes(version))))
    {
        snprintf(line, sizeof line, "%d definitions cannot fit in the %zu bytes after the count",
                 count, in.left());
        return fail(line);
    }
    std::vector<SParticleDefinition> definitions(static_cast<size_t>(count));
    for (size_t i = 0; i < definitions.size(); ++i)
    {
        const char* missing = nullptr;
        const size_t at = in.position();
        if (!readDefinition(in, version, definitions[i], missing))
        {
            snprintf(line, sizeof line, "definition %zu (at byte %zu) ends in its field %s", i + 1,
                     at, missing);
            return fail(line);
        }
    }
    m_definitions = std::move(definitions);
    return true;
}

bool CParticlePackageReader::read(zu::io::IReadFile* file)
{
    m_version = -1;
    m_unsupportedVersion = false;
    if (!file || !file->seek(0)) return fail("the file cannot be read");
    const int32_t size = file->getSize();
    if (size < 0 || size > MAX_FILE_BYTES) return fail("the file is too large to be a package");
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && file->read(bytes.data(), uint32_t(size)) != size)
        return fail("the file cannot be read");
    return read(bytes);
}

std::vector<CString> CParticlePackageReader::splitNames(const CString& text)
{
    std::vector<CString> names;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find(NAME_SEPARATOR, start);
        if (end == CString::npos) end = text.size();
        if (end > start) names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace kelvo::video
