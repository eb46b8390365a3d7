// SParticleDefinition: one named definition of a particle package, in
// runtime units (seconds-based frequencies, booleans for the flags). Fields a
// file's version does not store hold the values the reader gives them; the
// other defaults are those of the packer's text format. The field order is
// the file's (see ParticlePackageFormat.h).
#pragma once

#include "core/CString.h"
#include "video/SGeometry.h"

#include <cstdint>
#include <vector>

namespace zu::video
{

// A time curve: type and clamp as in particlefile::ECurveType and
// ECurveClamp; frequency and phase in units of t a second.
struct SParticleCurve
{
    float amplitude = 0.f;
    float frequency = 1.f;
    float phase = 0.f;
    int32_t type = 0;
    int32_t clamp = 0;
};

struct SParticleDefinition
{
    core::CString name;
    // As stored, and its pieces (empty pieces dropped).
    core::CString sprites;
    std::vector<core::CString> spriteNames;
    core::CString sounds;
    std::vector<core::CString> soundNames;
    SParticleCurve speedCurve, curveX, curveY, curveZ;
    bool flagA = false;
    bool shadow = false;
    bool normalizeSpeed = true;
    int32_t angleZMin = 0, angleYMin = 0, speedMin = 0;
    int32_t angleZMax = 0, angleYMax = 0, speedMax = 0;
    float inheritFactor = 0.f;
    float bounceFactor = 1.f;
    int32_t maxBounces = -1;
    float drawScale = 1.f;
    int32_t lifeMin = 1000;
    int32_t lifeMax = 0;
    bool skipFirstEmission = false;
    bool mirrorByDirection = false;
    bool faceDirection = false;
    bool dieWithAnimation = false;
    // Red, green, blue, alpha.
    int32_t colorStart[4] = {255, 255, 255, 255};
    int32_t colorEnd[4] = {255, 255, 255, 255};
    float scaleStart = 1.f;
    float scaleEnd = 1.f;
    std::vector<core::CString> deathList;
    float rotationSpeed = 0.f;
    int32_t emitMin = 0, emitMax = 0;
    int32_t burstMin = 0, burstMax = 0;
    int32_t intervalMin = 0, intervalMax = 0;
    int32_t maxEmissions = 0;
    SVector3f offsetMin, offsetMax;
    std::vector<core::CString> children;
    int32_t level = 0;
};

} // namespace zu::video
