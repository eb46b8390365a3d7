// CParticleHost: a place where particles live: it holds every live particle
// with its position, takes the children they emit, advances them all in one
// call and draws them all in another (shadows first), and lets them bounce
// off a ground line. Surfaces and sounds are answered by functions its owner
// sets. The packages attached to it send their children here, and are let
// go of (their host set back to none) when the host goes.
//
// At most MAX_PARTICLES live at a time, so effects whose children emit
// children cannot take all memory: a particle beyond that is not made, and
// the emission that asked for it stops.
#pragma once

#include "video/IParticleHost.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace zu::video
{
class IParticlePackage;
class ISpritePackage;
} // namespace zu::video

namespace kelvo::video
{

class CParticleHost : public zu::video::IParticleHost
{
  public:
    using CString = zu::core::CString;
    using SVector3f = zu::video::SVector3f;
    using SurfaceQuery = std::function<CString(const SVector3f&)>;
    using SoundPlayer = std::function<void(const CString&, const SVector3f&)>;

    static constexpr int32_t MAX_PARTICLES = 32768;

    CParticleHost() = default;
    // Releases every particle and lets go of the packages.
    ~CParticleHost() override;
    CParticleHost(const CParticleHost&) = delete;
    CParticleHost& operator=(const CParticleHost&) = delete;

    // Makes this the package's host, gives it its sprite package and the
    // detail level, and grabs it. Returns its number (from 0) here; a package
    // attached again keeps its number.
    int32_t attach(zu::video::IParticlePackage* package, zu::video::ISpritePackage* sprites);
    // The package of a number, or null.
    zu::video::IParticlePackage* getPackage(int64_t number) const;
    int32_t getPackageCount() const { return int32_t(m_packages.size()); }
    // For every package attached, now and later.
    void setDetailLevel(int32_t level);
    int32_t getDetailLevel() const { return m_detailLevel; }

    // A particle of the named definition at a position, with a velocity
    // added to its own; false for an unknown name, a package without
    // sprites, or a full host.
    bool spawn(zu::video::IParticlePackage* package, const CString& name, const SVector3f& position,
               const SVector3f& velocity);

    bool adopt(zu::video::IParticleState* particle, const SVector3f& position) override;
    CString surfaceAt(const SVector3f& position) override;
    void playSound(const CString& name, const SVector3f& position) override;

    // Advances every live particle; the dead are released. Particles born
    // during the call are advanced from the next call on.
    void update(float seconds);
    // Every particle at scale times its definition's drawScale: first the
    // shadows of those that cast one, then the particles, oldest first.
    void draw(float scale);
    // Releases every live particle; asked during update, it happens when
    // the update is done.
    void clear();
    int32_t getCount() const { return int32_t(m_live.size()); }
    // How many may live at once, at most MAX_PARTICLES (the start).
    void setLimit(int32_t limit);
    int32_t getLimit() const { return m_limit; }

    // Null functions answer no surface and play nothing.
    void setSurfaceQuery(SurfaceQuery query) { m_surfaceQuery = std::move(query); }
    void setSoundPlayer(SoundPlayer player) { m_soundPlayer = std::move(player); }
    // Shadows are drawn offset by (dx, dy) at alpha times the particle's.
    void setShadow(float dx, float dy, float alpha);
    // Particles moving down across the line y bounce off it.
    void setGround(float y);
    void removeGround() { m_hasGround = false; }

  private:
    // What drawing needs of a particle's definition is kept beside it, so the
    // passes over the list touch only the particles they draw.
    struct SLiveParticle
    {
        zu::video::IParticleState* state;
        SVector3f position;
        float drawScale;
        bool shadow;
    };

    std::vector<SLiveParticle> m_live;
    // How many of them cast a shadow.
    int32_t m_shadows = 0;
    std::vector<zu::video::IParticlePackage*> m_packages;
    int32_t m_detailLevel = 2;
    int32_t m_limit = MAX_PARTICLES;
    SurfaceQuery m_surfaceQuery;
    SoundPlayer m_soundPlayer;
    float m_shadowX = 3.f, m_shadowY = 3.f, m_shadowAlpha = 0.5f;
    bool m_hasGround = false;
    float m_groundY = 0.f;
    bool m_updating = false;
    bool m_clearAfterUpdate = false;
};

} // namespace kelvo::video
