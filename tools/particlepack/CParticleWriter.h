// CParticleWriter: writes particle definitions as a package of the newest
// file version (video/ParticlePackageFormat.h), in the order given.
#pragma once

#include "video/SParticleDefinition.h"

#include <cstdint>
#include <vector>

namespace pellora::particlepack
{

class CParticleWriter
{
  public:
    static std::vector<uint8_t>
    write(const std::vector<zu::video::SParticleDefinition>& definitions);

    // The stored form of a frequency or phase in runtime units: the value
    // the reader turns back into exactly that float whenever there is one,
    // preferring the plain thousandfold.
    static float storedFrequency(float value);
};

} // namespace pellora::particlepack
