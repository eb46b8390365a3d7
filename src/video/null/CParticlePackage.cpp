#include "video/null/CParticlePackage.h"

#include "core/Output.h"
#include "io/IReadFile.h"
#include "video/ISpritePackage.h"
#include "video/null/CParticlePackageReader.h"
#include "video/null/CParticleState.h"

#include <algorithm>

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

CParticlePackage::CParticlePackage(IVideoDriver* driver) : m_driver(driver) {}

CParticlePackage::~CParticlePackage()
{
    const std::unordered_set<CParticleState*> live = std::move(m_liveStates);
    m_liveStates.clear();
    for (CParticleState* state : live)
        state->detach();
    if (m_spritePackage) m_spritePackage->drop();
}

bool CParticlePackage::read(zu::io::IReadFile* file, const CString& name)
{
    CParticlePackageReader reader;
    if (!reader.read(file))
    {
        if (reader.isUnsupportedVersion())
            zuLog(ELL_ERROR, "%s", reader.getProblem().c_str());
        else
            zuLog(ELL_ERROR, "Particle package %s: %s", name.c_str(), reader.getProblem().c_str());
        return false;
    }
    m_name = name;
    m_version = reader.getVersion();
    m_definitions = reader.takeDefinitions();
    m_definitionNames.clear();
    for (const SParticleDefinition& definition : m_definitions)
        m_definitionNames.push_back(definition.name);
    std::stable_sort(m_definitions.begin(), m_definitions.end(),
                     [](const SParticleDefinition& a, const SParticleDefinition& b)
                     { return a.name < b.name; });
    m_soundNames.clear();
    m_soundNamesGathered = false;
    return true;
}

const std::vector<CString>& CParticlePackage::getSoundNames()
{
    if (!m_soundNamesGathered)
    {
        m_soundNamesGathered = true;
        for (const CString& name : m_definitionNames)
            for (const CString& sound : findDefinition(name)->soundNames)
                if (std::find(m_soundNames.begin(), m_soundNames.end(), sound) ==
                    m_soundNames.end())
                    m_soundNames.push_back(sound);
    }
    return m_soundNames;
}

void CParticlePackage::setSpritePackage(ISpritePackage* package)
{
    if (package == m_spritePackage) return;
    if (package) package->grab();
    if (m_spritePackage) m_spritePackage->drop();
    m_spritePackage = package;
}

const SParticleDefinition* CParticlePackage::findDefinition(const CString& name) const
{
    auto it = std::lower_bound(m_definitions.begin(), m_definitions.end(), name,
                               [](const SParticleDefinition& d, const CString& key)
                               { return d.name < key; });
    return it != m_definitions.end() && it->name == name ? &*it : nullptr;
}

bool CParticlePackage::isAvailable(const CString& name) const
{
    const SParticleDefinition* definition = findDefinition(name);
    return definition && definition->level <= m_detailLevel;
}

IParticleState* CParticlePackage::createParticle(const CString& name)
{
    if (!m_spritePackage) return nullptr;
    const SParticleDefinition* definition = findDefinition(name);
    if (!definition) return nullptr;
    CParticleState* state = new CParticleState(this, definition, m_spritePackage);
    m_liveStates.insert(state);
    return state;
}

void CParticlePackage::removeParticle(IParticleState* particle)
{
    if (!particle) return;
    if (auto* state = dynamic_cast<CParticleState*>(particle)) m_liveStates.erase(state);
    particle->drop();
}

void CParticlePackage::forgetParticle(CParticleState* state)
{
    m_liveStates.erase(state);
}

} // namespace kelvo::video
