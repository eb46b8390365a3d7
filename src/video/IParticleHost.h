// IParticleHost: what a particle package's particles need from the program
// that shows them: a place for the children they emit and spawn on death,
// the kind of surface at a point, and sounds.
#pragma once

#include "core/CString.h"
#include "video/SGeometry.h"

namespace zu::video
{

class IParticleState;

class IParticleHost
{
  public:
    virtual ~IParticleHost() = default;

    // Takes a new particle (and the caller's reference to it) at a position.
    // False when the host refused it: the particle has been released then,
    // and the emitter makes no more children this time.
    virtual bool adopt(IParticleState* particle, const SVector3f& position) = 0;
    // The name of the surface at a point ("@Water"), or empty.
    virtual core::CString surfaceAt(const SVector3f& position) = 0;
    virtual void playSound(const core::CString& name, const SVector3f& position) = 0;
};

} // namespace zu::video
