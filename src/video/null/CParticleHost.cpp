#include "video/null/CParticleHost.h"

#include "video/IParticlePackage.h"
#include "video/IParticleState.h"
#include "video/ISpritePackage.h"
#include "video/SParticleDefinition.h"

#include <algorithm>

using zu::core::CString;
using zu::video::IParticlePackage;
using zu::video::IParticleState;
using zu::video::SVector3f;

namespace kelvo::video
{

namespace
{

// The particles are objects of their own, met in the order they were born
// rather than where they lie: the ones a few places ahead are fetched into
// the cache while the current one runs.
constexpr size_t LOOK_AHEAD = 6;

void prefetch(const IParticleState* particle, int lines)
{
    const char* bytes = reinterpret_cast<const char*>(particle);
    for (int line = 0; line < lines; ++line)
        __builtin_prefetch(bytes + 64 * line);
}

} // namespace

CParticleHost::~CParticleHost()
{
    m_updating = false;
    clear();
    for (IParticlePackage* package : m_packages)
    {
        if (package->getHost() == this) package->setHost(nullptr);
        package->drop();
    }
    m_packages.clear();
}

int32_t CParticleHost::attach(IParticlePackage* package, zu::video::ISpritePackage* sprites)
{
    if (!package) return -1;
    package->setHost(this);
    package->setSpritePackage(sprites);
    package->setDetailLevel(m_detailLevel);
    auto known = std::find(m_packages.begin(), m_packages.end(), package);
    if (known != m_packages.end()) return int32_t(known - m_packages.begin());
    package->grab();
    m_packages.push_back(package);
    return int32_t(m_packages.size()) - 1;
}

IParticlePackage* CParticleHost::getPackage(int64_t number) const
{
    if (number < 0 || number >= int64_t(m_packages.size())) return nullptr;
    return m_packages[size_t(number)];
}

void CParticleHost::setDetailLevel(int32_t level)
{
    m_detailLevel = level;
    for (IParticlePackage* package : m_packages)
        package->setDetailLevel(level);
}

bool CParticleHost::spawn(IParticlePackage* package, const CString& name, const SVector3f& position,
                          const SVector3f& velocity)
{
    if (!package || getCount() >= m_limit) return false;
    IParticleState* particle = package->createParticle(name);
    if (!particle) return false;
    particle->addVelocity(velocity);
    return adopt(particle, position);
}

bool CParticleHost::adopt(IParticleState* particle, const SVector3f& position)
{
    if (!particle) return false;
    if (getCount() >= m_limit)
    {
        particle->release();
        return false;
    }
    const zu::video::SParticleDefinition* definition = particle->getDefinition();
    const bool shadow = definition && definition->shadow;
    m_live.push_back({particle, position, definition ? definition->drawScale : 1.f, shadow});
    if (shadow) ++m_shadows;
    return true;
}

CString CParticleHost::surfaceAt(const SVector3f& position)
{
    return m_surfaceQuery ? m_surfaceQuery(position) : CString();
}

void CParticleHost::playSound(const CString& name, const SVector3f& position)
{
    if (m_soundPlayer) m_soundPlayer(name, position);
}

void CParticleHost::update(float seconds)
{
    if (m_updating) return;
    m_updating = true;
    // Children are appended while their parents run, which may move the
    // list: entries are read by index, positions copied out and back.
    const size_t count = m_live.size();
    for (size_t i = 0; i < count; ++i)
    {
        if (i + LOOK_AHEAD < count) prefetch(m_live[i + LOOK_AHEAD].state, 5);
        IParticleState* particle = m_live[i].state;
        SVector3f position = m_live[i].position;
        bool alive = particle->update(seconds, position);
        if (alive && m_hasGround && position.y > m_groundY && particle->getVelocity().y > 0.f)
        {
            position.y = m_groundY;
            alive = particle->bounce(position, {0.f, -1.f, 0.f});
        }
        if (alive)
        {
            m_live[i].position = position;
            continue;
        }
        particle->release();
        m_live[i].state = nullptr;
        if (m_live[i].shadow) --m_shadows;
    }
    m_live.erase(std::remove_if(m_live.begin(), m_live.end(),
                                [](const SLiveParticle& p) { return !p.state; }),
                 m_live.end());
    m_updating = false;
    if (m_clearAfterUpdate) clear();
}

void CParticleHost::draw(float scale)
{
    // Drawing from inside an update (a surface function may) skips the
    // particles that have just died.
    if (m_shadows > 0)
        for (const SLiveParticle& p : m_live)
        {
            if (!p.state || !p.shadow) continue;
            const SVector3f shadow = {p.position.x + m_shadowX, p.position.y + m_shadowY,
                                      p.position.z};
            p.state->drawShadow(shadow, scale * p.drawScale, m_shadowAlpha);
        }
    for (size_t i = 0; i < m_live.size(); ++i)
    {
        const SLiveParticle& p = m_live[i];
        if (i + LOOK_AHEAD < m_live.size() && m_live[i + LOOK_AHEAD].state)
            prefetch(m_live[i + LOOK_AHEAD].state, 4);
        if (p.state) p.state->draw(p.position, scale * p.drawScale);
    }
}

void CParticleHost::clear()
{
    if (m_updating)
    {
        m_clearAfterUpdate = true;
        return;
    }
    m_clearAfterUpdate = false;
    std::vector<SLiveParticle> live;
    live.swap(m_live);
    m_shadows = 0;
    for (SLiveParticle& p : live)
        p.state->release();
}

void CParticleHost::setLimit(int32_t limit)
{
    m_limit = std::clamp(limit, 0, MAX_PARTICLES);
}

void CParticleHost::setShadow(float dx, float dy, float alpha)
{
    m_shadowX = dx;
    m_shadowY = dy;
    m_shadowAlpha = alpha;
}

void CParticleHost::setGround(float y)
{
    m_hasGround = true;
    m_groundY = y;
}

} // namespace kelvo::video
