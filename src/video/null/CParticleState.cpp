#include "video/null/CParticleState.h"

#include "video/IParticleHost.h"
#include "video/ISpriteAnimationImage.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/ParticlePackageFormat.h"
#include "video/SParticleDefinition.h"
#include "video/null/CParticlePackage.h"
#include "video/null/CParticleRandom.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <vector>

using zu::core::CString;
using zu::video::IParticleHost;
using zu::video::SParticleDefinition;
using zu::video::SVector3f;

namespace kelvo::video
{

namespace
{

constexpr float DEGREES = 0.01745329f;
constexpr float PI = 3.14159265f;
// Added to the emission timer of a particle with nothing to emit, so it
// does not look at its children again.
constexpr float NO_MORE_EMISSIONS = 1000000.f;

int32_t channel(int32_t value)
{
    return std::clamp(value, 0, 255);
}

uint32_t argb(int32_t r, int32_t g, int32_t b, int32_t a)
{
    return uint32_t(channel(a)) << 24 | uint32_t(channel(r)) << 16 | uint32_t(channel(g)) << 8 |
           uint32_t(channel(b));
}

// Counts stop at the largest value instead of wrapping round.
void countUp(int32_t& count)
{
    if (count < INT32_MAX) ++count;
}

float seconds(int32_t milliseconds)
{
    return float(double(milliseconds) * 0.001);
}

// One of several names at random, the only one without a draw.
const CString* pick(const std::vector<CString>& names)
{
    if (names.empty()) return nullptr;
    if (names.size() == 1) return &names[0];
    return &names[size_t(CParticleRandom::below(int32_t(names.size())))];
}

CString lowerCase(const CString& text)
{
    CString lower = text;
    for (size_t i = 0; i < lower.size(); ++i)
        if (lower[i] >= 'A' && lower[i] <= 'Z') lower[i] = char(lower[i] - 'A' + 'a');
    return lower;
}

// Particles are made and destroyed by the thousand a second and walked
// through twice a frame. They come from blocks of their own, so they sit
// close together in memory and the last one freed is the next one made. The
// blocks are kept for the next particles. Under AddressSanitizer every
// particle is an allocation of its own, so a use after its end is caught.
#if defined(__SANITIZE_ADDRESS__)
#define PELLORA_PARTICLE_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLORA_PARTICLE_POOL 0
#endif
#endif
#ifndef PELLORA_PARTICLE_POOL
#define PELLORA_PARTICLE_POOL 1
#endif

struct SFreeSlot
{
    SFreeSlot* next;
};

constexpr size_t SLOTS_PER_BLOCK = 512;
SFreeSlot* g_freeSlots = nullptr;
std::vector<void*>* g_blocks = nullptr;

size_t slotSize()
{
    const size_t align = alignof(std::max_align_t);
    return (sizeof(CParticleState) + align - 1) / align * align;
}

} // namespace

void* CParticleState::operator new(size_t size)
{
    if (!PELLORA_PARTICLE_POOL || size != sizeof(CParticleState)) return ::operator new(size);
    if (!g_freeSlots)
    {
        if (!g_blocks) g_blocks = new std::vector<void*>();
        char* block = static_cast<char*>(::operator new(slotSize() * SLOTS_PER_BLOCK));
        g_blocks->push_back(block);
        // Handed out from the block's start.
        for (size_t i = SLOTS_PER_BLOCK; i-- > 0;)
            g_freeSlots = new (block + i * slotSize()) SFreeSlot{g_freeSlots};
    }
    SFreeSlot* slot = g_freeSlots;
    g_freeSlots = slot->next;
    return slot;
}

void CParticleState::operator delete(void* memory, size_t size)
{
    if (!memory) return;
    if (!PELLORA_PARTICLE_POOL || size != sizeof(CParticleState))
    {
        ::operator delete(memory);
        return;
    }
    g_freeSlots = new (memory) SFreeSlot{g_freeSlots};
}

CParticleState::CParticleState(CParticlePackage* package, const SParticleDefinition* definition,
                               zu::video::ISpritePackage* sprites)
    : m_package(package), m_definition(definition)
{
    const SParticleDefinition& d = *definition;
    if (sprites)
        if (const CString* name = pick(d.spriteNames)) m_sprite = sprites->createState(*name);
    if (m_sprite)
    {
        m_spritePackage = sprites;
        m_spritePackage->grab();
        m_image = m_sprite->getImage(m_sprite->getFrame());
        m_spriteWait = m_sprite->getRemaining();
    }
    m_color = argb(d.colorStart[0], d.colorStart[1], d.colorStart[2], d.colorStart[3]);
    m_scale = d.scaleStart;
    if (d.speedMax >= 1)
    {
        const float speed = float(CParticleRandom::inRange(d.speedMin, d.speedMax));
        const float z = float(CParticleRandom::inRange(d.angleZMin, d.angleZMax)) * DEGREES;
        const float y = float(CParticleRandom::inRange(d.angleYMin, d.angleYMax)) * DEGREES;
        // (speed, 0, 0) turned about the y axis, then about the z axis.
        const float flat = speed * std::cos(y);
        m_velocity = {flat * std::cos(z), flat * std::sin(z), -speed * std::sin(y)};
    }
    int32_t life = d.lifeMin;
    if (d.lifeMax > 0 && d.lifeMin < d.lifeMax)
        life = CParticleRandom::inRange(d.lifeMin, d.lifeMax);
    m_lifetime = std::max(0.f, seconds(life));
    m_curves[0] = CParticleCurveEvaluator(d.speedCurve);
    m_curves[1] = CParticleCurveEvaluator(d.curveX);
    m_curves[2] = CParticleCurveEvaluator(d.curveY);
    m_curves[3] = CParticleCurveEvaluator(d.curveZ);
}

CParticleState::~CParticleState()
{
    releaseSprite();
    if (m_package) m_package->forgetParticle(this);
}

void CParticleState::releaseSprite()
{
    m_image = nullptr;
    if (m_sprite)
    {
        m_sprite->release();
        m_sprite = nullptr;
    }
    zu::dropAndClear(m_spritePackage);
}

void CParticleState::release()
{
    releaseSprite();
    if (m_package)
        m_package->removeParticle(this);
    else
        drop();
}

void CParticleState::detach()
{
    releaseSprite();
    m_package = nullptr;
    m_definition = nullptr;
}

bool CParticleState::update(float dt, SVector3f& position)
{
    if (!m_definition) return false;
    if (!(dt > 0.f)) return true;
    const SParticleDefinition& d = *m_definition;

    if (!m_soundPlayed)
    {
        m_soundPlayed = true;
        IParticleHost* host = m_package->getHost();
        if (host)
            if (const CString* sound = pick(d.soundNames)) host->playSound(*sound, position);
    }

    m_age += dt;
    if (m_lifetime > 0.f)
    {
        if (m_age >= m_lifetime)
        {
            die(position);
            return false;
        }
        const float f = m_age / m_lifetime;
        m_scale = d.scaleStart + (d.scaleEnd - d.scaleStart) * f;
        int32_t mixed[4];
        for (int i = 0; i < 4; ++i)
        {
            const int32_t from = channel(d.colorStart[i]), to = channel(d.colorEnd[i]);
            mixed[i] = from + int32_t(float(to - from) * f);
        }
        m_color = argb(mixed[0], mixed[1], mixed[2], mixed[3]);
    }

    if (m_sprite && advanceSprite(dt) && d.dieWithAnimation)
    {
        die(position);
        return false;
    }

    const float speed = m_curves[0].step(dt);
    const float ax = m_curves[1].step(dt);
    const float ay = m_curves[2].step(dt);
    const float az = m_curves[3].step(dt);
    SVector3f direction = m_velocity;
    if (d.normalizeSpeed)
    {
        const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y +
                                       direction.z * direction.z);
        const float inverse = length > 0.f ? 1.f / length : 0.f;
        direction = {direction.x * inverse, direction.y * inverse, direction.z * inverse};
    }
    m_velocity.x += direction.x * speed * dt + ax * dt;
    m_velocity.y += direction.y * speed * dt + ay * dt;
    m_velocity.z += direction.z * speed * dt + az * dt;

    if (d.rotationSpeed > 0.f && !d.faceDirection) m_angle += d.rotationSpeed * dt * DEGREES;

    position.x += m_velocity.x * dt;
    position.y += m_velocity.y * dt;
    position.z += m_velocity.z * dt;

    m_emissionTimer -= dt;
    if (m_emissionTimer > 0.f || m_burstLeft > 0.f)
    {
        if (m_burstLeft > 0.f)
        {
            m_burstLeft -= dt;
            m_burstTimer -= dt;
            if (m_burstTimer <= 0.f)
            {
                m_burstTimer += m_burstInterval;
                emitChild(position);
            }
        }
        return true;
    }
    return emit(position);
}

bool CParticleState::advanceSprite(float dt)
{
    // The state's own update would only count down until the frame is due;
    // the time is handed to it in one piece then.
    m_spriteTime += dt;
    if (m_spriteTime < m_spriteWait) return false;
    const bool wrapped = m_sprite->update(m_spriteTime);
    m_spriteTime = 0.f;
    m_spriteWait = m_sprite->getRemaining();
    m_image = m_sprite->getImage(m_sprite->getFrame());
    return wrapped;
}

bool CParticleState::emit(const SVector3f& position)
{
    const SParticleDefinition& d = *m_definition;
    if (d.children.empty())
    {
        countUp(m_emissionCount);
        m_emissionTimer += NO_MORE_EMISSIONS;
        return true;
    }
    if (d.maxEmissions >= 1 && m_emissionCount >= d.maxEmissions)
    {
        die(position);
        return false;
    }
    if (!(m_emissionCount == 0 && d.skipFirstEmission))
    {
        int32_t n = d.emitMin, m = d.emitMax;
        bool open = true;
        if (n > 0)
        {
            open = emitChild(position);
            --n;
            // A maximum from a file may be the lowest integer: nothing more
            // is emitted then, without stepping below it.
            if (m > 0) --m;
        }
        if (m > 0 && open)
        {
            if (n < m) n = CParticleRandom::inRange(n, m);
            if (n > 0)
            {
                const int32_t burst = d.burstMax > 0 && d.burstMin < d.burstMax
                                          ? CParticleRandom::inRange(d.burstMin, d.burstMax)
                                          : 0;
                if (burst > 0)
                {
                    // The rest come one at a time over the burst.
                    m_burstInterval = seconds(burst / n);
                    m_burstLeft = seconds(burst);
                    m_burstTimer = m_burstInterval;
                }
                else
                {
                    for (int32_t i = 0; i < n && open; ++i)
                        open = emitChild(position);
                }
            }
        }
    }
    countUp(m_emissionCount);
    int32_t interval = d.intervalMin;
    if (0 < d.intervalMin && d.intervalMin < d.intervalMax)
        interval = CParticleRandom::inRange(d.intervalMin, d.intervalMax);
    m_emissionTimer += seconds(interval);
    return true;
}

bool CParticleState::emitChild(const SVector3f& position)
{
    if (!m_package || !m_package->getHost()) return false;
    // A random name among the available ones; none available emits nothing.
    const std::vector<CString>& children = m_definition->children;
    int32_t available = 0;
    for (const CString& name : children)
        if (m_package->isAvailable(name)) ++available;
    if (available == 0) return false;
    int32_t chosen = available == 1 ? 0 : CParticleRandom::below(available);
    for (const CString& name : children)
        if (m_package->isAvailable(name) && chosen-- == 0) return spawnChild(name, position);
    return false;
}

bool CParticleState::spawnChild(const CString& name, const SVector3f& position)
{
    IParticleHost* host = m_package ? m_package->getHost() : nullptr;
    if (!host) return false;
    zu::video::IParticleState* child = m_package->createParticle(name);
    if (!child) return false;
    const SParticleDefinition& d = *m_definition;
    SVector3f at = {position.x + d.offsetMin.x, position.y + d.offsetMin.y,
                    position.z + d.offsetMin.z};
    auto spread = [](float low, float high)
    { return high > low ? float(CParticleRandom::below(1000)) * 0.001f * (high - low) : 0.f; };
    at.x += spread(d.offsetMin.x, d.offsetMax.x);
    at.y += spread(d.offsetMin.y, d.offsetMax.y);
    at.z += spread(d.offsetMin.z, d.offsetMax.z);
    const float inherit = child->getDefinition()->inheritFactor;
    child->addVelocity({m_velocity.x * inherit, m_velocity.y * inherit, m_velocity.z * inherit});
    return host->adopt(child, at);
}

void CParticleState::die(const SVector3f& position)
{
    if (!m_package || !m_definition) return;
    IParticleHost* host = m_package->getHost();
    const std::vector<CString>& list = m_definition->deathList;
    if (!host || list.empty()) return;
    const CString surface = lowerCase(host->surfaceAt(position));
    // Names before any section apply on no surface; a section applies on its
    // own surface.
    bool applies = surface.empty();
    bool applied = false, sectioned = false;
    bool open = true;
    for (const CString& entry : list)
    {
        if (!entry.empty() && entry[0] == zu::video::particlefile::SURFACE_MARK)
        {
            sectioned = true;
            applies = lowerCase(entry) == surface;
            applied = applied || applies;
            continue;
        }
        if (!applies) continue;
        applied = true;
        if (open && m_package && m_package->isAvailable(entry)) open = spawnChild(entry, position);
    }
    if (applied || sectioned) return;
    for (const CString& entry : list)
        if (open && m_package && m_package->isAvailable(entry)) open = spawnChild(entry, position);
}

void CParticleState::draw(const SVector3f& position, float scale)
{
    if (!m_definition) return;
    const SParticleDefinition& d = *m_definition;
    if (d.faceDirection)
    {
        if (m_drawn)
        {
            const float dx = position.x - m_previousX, dy = position.y - m_previousY;
            if (dx != 0.f)
                m_angle = std::atan(dy / dx) + (dx < 0.f ? PI : 0.f);
            else if (dy < 0.f)
                m_angle = 1.5f * PI;
            else if (dy > 0.f)
                m_angle = 0.5f * PI;
            // Standing still keeps the last direction.
        }
        m_drawn = true;
        m_previousX = position.x;
        m_previousY = position.y;
    }
    if (!m_image) return;
    const float size = scale * m_scale;
    if (d.mirrorByDirection && m_velocity.x < 0.f)
    {
        m_image->drawMirrored({position.x, position.y}, size, m_color);
        return;
    }
    const uint32_t colors[4] = {m_color, m_color, m_color, m_color};
    m_image->drawRotated({position.x, position.y}, d.mirrorByDirection ? 0.f : m_angle, size,
                         colors);
}

void CParticleState::drawShadow(const SVector3f& position, float scale, float alpha)
{
    if (!m_image || !m_definition || !m_definition->shadow) return;
    const float shade = float(m_color >> 24) * alpha;
    const uint32_t a = shade >= 255.f ? 255u : shade > 0.f ? uint32_t(shade) : 0u;
    const uint32_t black = a << 24;
    const uint32_t colors[4] = {black, black, black, black};
    m_image->drawRotated({position.x, position.y}, m_angle, scale * m_scale, colors);
}

void CParticleState::draw3D(const SVector3f& position)
{
    if (m_image) m_image->draw3D(position, 0.f, m_scale, false, m_color);
}

bool CParticleState::bounce(const SVector3f& position, const SVector3f& normal)
{
    if (!m_definition) return false;
    const SParticleDefinition& d = *m_definition;
    const float along =
        2.f * (m_velocity.x * normal.x + m_velocity.y * normal.y + m_velocity.z * normal.z);
    m_velocity = {(m_velocity.x - along * normal.x) * d.bounceFactor,
                  (m_velocity.y - along * normal.y) * d.bounceFactor,
                  (m_velocity.z - along * normal.z) * d.bounceFactor};
    countUp(m_bounceCount);
    if (d.maxBounces >= 0 && m_bounceCount > d.maxBounces)
    {
        die(position);
        return false;
    }
    return true;
}

void CParticleState::addVelocity(const SVector3f& velocity)
{
    m_velocity.x += velocity.x;
    m_velocity.y += velocity.y;
    m_velocity.z += velocity.z;
}

CString CParticleState::getFirstSpriteName() const
{
    if (!m_definition || m_definition->spriteNames.empty()) return CString();
    return m_definition->spriteNames[0];
}

bool CParticleState::getFlagA() const
{
    return m_definition && m_definition->flagA;
}

float CParticleState::getDrawScale() const
{
    return m_definition ? m_definition->drawScale : 1.f;
}

int32_t CParticleState::getLevel() const
{
    return m_definition ? m_definition->level : 0;
}

} // namespace kelvo::video
