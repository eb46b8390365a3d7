// CParticlePackage: the runtime owner of one particle package: its
// definitions (sorted by name for lookups, their names also in file order),
// the sprite package their pictures come from, the host their children go
// to, the detail level that decides which children are made, and every
// particle made from it that still lives. When the package goes, those
// particles are cut loose: they lose their definition and die on their next
// update, so none is left pointing at it.
#pragma once

#include "video/IParticlePackage.h"
#include "video/SParticleDefinition.h"

#include <unordered_set>
#include <vector>

namespace zu::video
{
class IVideoDriver;
}

namespace kelvo::video
{

class CParticleState;

class CParticlePackage : public zu::video::IParticlePackage
{
  public:
    using CString = zu::core::CString;

    // The driver is not owned.
    explicit CParticlePackage(zu::video::IVideoDriver* driver);
    ~CParticlePackage() override;

    bool read(zu::io::IReadFile* file, const CString& name) override;

    const std::vector<CString>& getDefinitionNames() const override { return m_definitionNames; }
    const std::vector<CString>& getSoundNames() override;
    void setSpritePackage(zu::video::ISpritePackage* package) override;
    zu::video::ISpritePackage* getSpritePackage() const override { return m_spritePackage; }
    zu::video::IParticleState* createParticle(const CString& name) override;
    void removeParticle(zu::video::IParticleState* particle) override;
    void setHost(zu::video::IParticleHost* host) override { m_host = host; }
    zu::video::IParticleHost* getHost() const override { return m_host; }
    bool isAvailable(const CString& name) const override;
    void setDetailLevel(int32_t level) override { m_detailLevel = level; }
    int32_t getDetailLevel() const override { return m_detailLevel; }
    const zu::video::SParticleDefinition* findDefinition(const CString& name) const override;

    int32_t getVersion() const { return m_version; }
    const CString& getName() const { return m_name; }
    // Sorted by name.
    const std::vector<zu::video::SParticleDefinition>& getDefinitions() const
    {
        return m_definitions;
    }
    int32_t getLiveCount() const { return int32_t(m_liveStates.size()); }
    zu::video::IVideoDriver* getDriver() const { return m_driver; }

    // Called by a particle being destroyed, so the package stops tracking it.
    void forgetParticle(CParticleState* state);

  private:
    zu::video::IVideoDriver* m_driver;
    zu::video::IParticleHost* m_host = nullptr;
    int32_t m_detailLevel = DEFAULT_DETAIL_LEVEL;
    zu::video::ISpritePackage* m_spritePackage = nullptr;
    CString m_name;
    int32_t m_version = -1;
    std::vector<CString> m_definitionNames;
    std::vector<CString> m_soundNames;
    bool m_soundNamesGathered = false;
    std::vector<zu::video::SParticleDefinition> m_definitions;
    std::unordered_set<CParticleState*> m_liveStates;
};

} // namespace kelvo::video
