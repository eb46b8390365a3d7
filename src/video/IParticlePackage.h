// IParticlePackage: a particle package: named particle definitions read from
// a file, the particles made from them, the sprite package their pictures
// come from and the host that takes their children. The driver caches
// packages by path; the file format is in ParticlePackageFormat.h.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>
#include <vector>

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

struct SParticleDefinition;
class IParticleHost;
class IParticleState;
class ISpritePackage;

class IParticlePackage : public virtual IUnknown
{
  public:
    // The detail level a new package has.
    static constexpr int32_t DEFAULT_DETAIL_LEVEL = 2;

    // Reads the whole package; false (with a log line) when the file is not
    // a usable package.
    virtual bool read(io::IReadFile* file, const core::CString& name) = 0;

    // In file order.
    virtual const std::vector<core::CString>& getDefinitionNames() const = 0;
    // Every definition's sounds, each once, gathered on the first call.
    virtual const std::vector<core::CString>& getSoundNames() = 0;
    // The package the particles' sprites come from; grabbed.
    virtual void setSpritePackage(ISpritePackage* package) = 0;
    virtual ISpritePackage* getSpritePackage() const = 0;
    // A new particle (to release) of the named definition; null without a
    // sprite package or for an unknown name.
    virtual IParticleState* createParticle(const core::CString& name) = 0;
    // Forgets a particle made here and drops the caller's reference.
    virtual void removeParticle(IParticleState* particle) = 0;
    // Not owned; the host must outlive the particles or be set to null first.
    virtual void setHost(IParticleHost* host) = 0;
    virtual IParticleHost* getHost() const = 0;
    // The definition exists and its level is at most the detail level.
    virtual bool isAvailable(const core::CString& name) const = 0;
    virtual void setDetailLevel(int32_t level) = 0;
    virtual int32_t getDetailLevel() const = 0;
    // The definition of that name, or null.
    virtual const SParticleDefinition* findDefinition(const core::CString& name) const = 0;
};

} // namespace zu::video
