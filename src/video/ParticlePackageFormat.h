// The particle package file format, written down once for every side that
// touches it: the runtime reader (CParticlePackageReader), the packer and its
// dump (tools/particlepack).
//
// Little-endian; integers are 32-bit signed, "float" fields 32-bit IEEE
// values in the same four bytes; strings are bytes ended by a zero byte.
//   version          OLDEST_VERSION to NEWEST_VERSION
//   definitionCount  how many definitions follow
//   definitions      definitionCount times: name (string), then the record
//
// Definition record, in file order; a field in brackets is there only from
// the version its gate below names, and otherwise takes the value given:
//   sprites            string: animation names separated by '/'
//   [sounds]           string: sound names separated by '/'        (hasSounds; "")
//   speedCurve, curveX, curveY, curveZ  four curve records
//   [flagA]            int, non-zero is true                        (hasFlagA; false)
//   [shadow]           int                                          (hasShadow; false)
//   [normalizeSpeed]   int                                          (hasShadow; true)
//   [angleZMin, angleYMin, speedMin, angleZMax, angleYMax, speedMax]
//                      ints: degrees and pixels a second             (hasDirection; 0)
//   [inheritFactor]    float                                        (hasDirection; 0)
//   bounceFactor       float
//   maxBounces         int, negative is unlimited
//   [drawScale]        float                                        (hasDrawScale; 1)
//   lifeMin            int, milliseconds
//   [lifeMax]          int                                          (hasLifeMax; lifeMin)
//   [skipFirstEmission, mirrorByDirection, faceDirection]
//                      ints                                         (hasMotionFlags; false)
//   dieWithAnimation   int
//   colorStart         four ints: red, green, blue, alpha (0 to 255)
//   colorEnd           four ints
//   scaleStart, scaleEnd  floats
//   deathList          one string kept when not empty, or (hasDeathListCount)
//                      a count and that many strings
//   rotationSpeed      float, degrees a second
//   emitMin, emitMax   ints: children an emission
//   burstMin, burstMax ints: milliseconds an emission is spread over
//   intervalMin, intervalMax  ints: milliseconds between emissions
//   maxEmissions       int, 0 or less is unlimited
//   offsetMin, offsetMax  three floats each: where children start
//   children           a count and that many strings: definition names
//   [level]            int: detail level                            (hasLevel; 0)
//
// Curve record: with hasCurveRecords an amplitude (float), a frequency and a
// phase (floats stored per second times 1000, so FREQUENCY_UNIT turns them
// into runtime units), a type (ECurveType) and a clamp (ECurveClamp);
// before it one int, the amplitude, of a constant curve.
#pragma once

#include <cstdint>

namespace zu::video::particlefile
{

constexpr int32_t INT_BYTES = 4;

constexpr int32_t OLDEST_VERSION = 0;
constexpr int32_t NEWEST_VERSION = 8;

constexpr bool isVersion(int32_t version)
{
    return version >= OLDEST_VERSION && version <= NEWEST_VERSION;
}
// The start direction and speed ranges and inheritFactor.
constexpr bool hasDirection(int32_t version)
{
    return version > 1;
}
// Curves with frequency, phase, type and clamp; lifeMax; the motion flags.
constexpr bool hasCurveRecords(int32_t version)
{
    return version >= 3;
}
constexpr bool hasLifeMax(int32_t version)
{
    return version >= 3;
}
constexpr bool hasMotionFlags(int32_t version)
{
    return version >= 3;
}
// flagA, and the death list as a counted list of strings.
constexpr bool hasFlagA(int32_t version)
{
    return version >= 4;
}
constexpr bool hasDeathListCount(int32_t version)
{
    return version >= 4;
}
// shadow and normalizeSpeed.
constexpr bool hasShadow(int32_t version)
{
    return version >= 5;
}
constexpr bool hasSounds(int32_t version)
{
    return version > 5;
}
constexpr bool hasLevel(int32_t version)
{
    return version >= 7;
}
constexpr bool hasDrawScale(int32_t version)
{
    return version >= 8;
}

// Stored frequencies and phases are per second times 1000.
constexpr float FREQUENCY_UNIT = 0.001f;

// How a curve's value follows t = frequency * elapsed + phase, before the
// clamp and the amplitude.
enum ECurveType
{
    CURVE_CONSTANT = 0, // 1
    CURVE_LINEAR = 1,   // t
    CURVE_SINE = 2,     // sin t
    CURVE_TRIANGLE = 3, // 0 up to 1 and down to -1, period 2
    CURVE_SQUARE = 4,   // 1 for the first half of each period, then -1
    CURVE_IMPULSE = 5,  // 1 / dt in the update that enters a new whole t
    CURVE_EXP = 6,      // e^t
    CURVE_NEG_EXP = 7,  // e^-t
    CURVE_TYPE_COUNT = 8
};

enum ECurveClamp
{
    CLAMP_NONE = 0,
    CLAMP_ABS = 1,      // the absolute value
    CLAMP_POSITIVE = 2, // negative values become 0
    CLAMP_COUNT = 3
};

// Separates the names of the sprites and sounds strings.
constexpr char NAME_SEPARATOR = '/';
// Opens a section of a death list that applies on one surface.
constexpr char SURFACE_MARK = '@';

// Files beyond this are not particle packages; the reader refuses them
// before reading them into memory.
constexpr int32_t MAX_FILE_BYTES = 64 << 20;

// The bytes of a curve record and of the smallest definition of a version
// (empty strings and lists), to bound the definition count before anything
// is made for it.
constexpr int32_t curveBytes(int32_t version)
{
    return hasCurveRecords(version) ? 5 * INT_BYTES : INT_BYTES;
}
constexpr int32_t minDefinitionBytes(int32_t version)
{
    int32_t strings = 2 + (hasSounds(version) ? 1 : 0); // name, sprites, sounds
    int32_t ints = 2                                    // bounceFactor, maxBounces
                   + 1 + 1                              // lifeMin, dieWithAnimation
                   + 8 + 2 + 1                          // colours, scales, rotationSpeed
                   + 7 + 6 + 1;                         // emission, offsets, children count
    if (hasFlagA(version)) ints += 1;
    if (hasShadow(version)) ints += 2;
    if (hasDirection(version)) ints += 7;
    if (hasDrawScale(version)) ints += 1;
    if (hasLifeMax(version)) ints += 1;
    if (hasMotionFlags(version)) ints += 3;
    if (hasDeathListCount(version))
        ints += 1;
    else
        strings += 1;
    if (hasLevel(version)) ints += 1;
    return strings + ints * INT_BYTES + 4 * curveBytes(version);
}

} // namespace zu::video::particlefile
