#include "video/null/CSpriteAnimationState.h"

#include "core/ByteOrder.h"
#include "io/IReadFile.h"
#include "io/IWriteFile.h"
#include "video/ISpriteAnimationImage.h"
#include "video/null/CSpritePackage.h"

#include <cmath>
#include <cstring>

using namespace zu::video;

namespace kelvo::video
{

CSpriteAnimationState::CSpriteAnimationState(CSpritePackage* package,
                                             const SSpriteAnimationRecord& animation,
                                             std::vector<ISpriteAnimationImage*> frames)
    : m_package(package), m_steps(animation.steps), m_durations(animation.durations),
      m_frames(std::move(frames))
{
    reset();
}

CSpriteAnimationState::~CSpriteAnimationState()
{
    releaseFrames();
    if (m_package) m_package->forgetState(this);
}

void CSpriteAnimationState::releaseFrames()
{
    for (ISpriteAnimationImage* image : m_frames)
        image->release();
    m_frames.clear();
    m_frame = 0;
}

void CSpriteAnimationState::release()
{
    releaseFrames();
    if (m_package)
        m_package->removeState(this);
    else
        drop();
}

void CSpriteAnimationState::detach()
{
    releaseFrames();
    m_package = nullptr;
}

float CSpriteAnimationState::durationOf(int32_t frame) const
{
    if (frame < 0 || size_t(frame) >= m_durations.size() || m_durations[size_t(frame)] < 0)
        return NEVER;
    return float(m_durations[size_t(frame)]) * 0.001f;
}

void CSpriteAnimationState::reset()
{
    m_frame = 0;
    m_remaining = durationOf(0);
}

bool CSpriteAnimationState::update(float seconds)
{
    // A state without frames has nothing to step through; the frame is
    // always below the frame count, which is at most the animation's length,
    // so the steps and durations read below are always there.
    // A NaN or infinite step would leave the time left unusable for good.
    if (hasFlags(ESSF_PAUSED) || m_frames.empty() || !std::isfinite(seconds)) return false;
    m_remaining -= seconds;
    if (m_remaining > 0.f) return false;
    const int64_t next = int64_t(m_frame) + m_steps[size_t(m_frame)];
    bool wrapped = false;
    if (next > 0)
    {
        const int64_t last = int64_t(m_frames.size()) - 1;
        m_frame = int32_t(next < last ? next : last);
    }
    else
    {
        m_frame = 0;
        wrapped = true;
    }
    m_remaining += durationOf(m_frame);
    return wrapped;
}

ISpriteAnimationImage* CSpriteAnimationState::frameAt(int32_t frame) const
{
    return frame >= 0 && size_t(frame) < m_frames.size() ? m_frames[size_t(frame)] : nullptr;
}

void CSpriteAnimationState::drawAt(SPosition2i position, const SRecti* clipRect, uint32_t color)
{
    if (ISpriteAnimationImage* image = current()) image->drawAt(position, clipRect, color);
}

bool CSpriteAnimationState::drawNineColor(const SVector2f corners[4], const uint32_t colors[9])
{
    ISpriteAnimationImage* image = current();
    return image && image->drawNineColor(corners, colors);
}

bool CSpriteAnimationState::drawCornerColor(const SVector2f corners[4], const uint32_t colors[9])
{
    ISpriteAnimationImage* image = current();
    return image && image->drawCornerColor(corners, colors);
}

void CSpriteAnimationState::drawScaled(SVector2f position, float scale, uint32_t color)
{
    if (ISpriteAnimationImage* image = current()) image->drawScaled(position, scale, color);
}

void CSpriteAnimationState::drawRotated(SVector2f position, float angle, float scale,
                                        const uint32_t colors[4])
{
    if (ISpriteAnimationImage* image = current())
        image->drawRotated(position, angle, scale, colors);
}

void CSpriteAnimationState::drawMirrored(SVector2f position, float scale, uint32_t color)
{
    if (ISpriteAnimationImage* image = current()) image->drawMirrored(position, scale, color);
}

void CSpriteAnimationState::drawFreeShape(SVector2f topLeft, SVector2f topRight,
                                          SVector2f bottomLeft, SVector2f bottomRight,
                                          const uint32_t colors[4])
{
    if (ISpriteAnimationImage* image = current())
        image->drawFreeShape(topLeft, topRight, bottomLeft, bottomRight, colors);
}

void CSpriteAnimationState::draw3D(SVector3f position, float angle, float scale, bool mirrored,
                                   uint32_t color)
{
    if (ISpriteAnimationImage* image = current())
        image->draw3D(position, angle, scale, mirrored, color);
}

SPosition2i CSpriteAnimationState::getOffset(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getOffset() : SPosition2i();
}

SPosition2i CSpriteAnimationState::getOriginalOffset(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getOriginalOffset() : SPosition2i();
}

zu::core::SDimension2i CSpriteAnimationState::getSize(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getSize() : zu::core::SDimension2i{1, 1};
}

zu::core::SDimension2i CSpriteAnimationState::getOriginalSize(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getOriginalSize() : zu::core::SDimension2i{1, 1};
}

ITexture* CSpriteAnimationState::getTexture(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getTexture() : nullptr;
}

SRecti CSpriteAnimationState::getSourceRect(int32_t frame) const
{
    ISpriteAnimationImage* image = frameAt(frame);
    return image ? image->getSourceRect() : SRecti();
}

void CSpriteAnimationState::setFlags(uint32_t mask, bool on)
{
    if (on)
        m_flags |= mask;
    else
        m_flags &= ~mask;
}

bool CSpriteAnimationState::loadState(zu::io::IReadFile* file)
{
    if (!file) return false;
    uint8_t bytes[12];
    if (file->read(bytes, sizeof bytes) != int32_t(sizeof bytes)) return false;
    uint32_t values[3];
    for (int i = 0; i < 3; ++i)
        values[i] = zu::core::readLE32(bytes + 4 * i);
    m_flags = values[0];
    // Any saved frame lands on one of this state's frames, negative ones
    // counted back from the end.
    const int64_t count = int64_t(m_frames.size());
    const int64_t frame = int64_t(int32_t(values[1]));
    m_frame = count ? int32_t(((frame % count) + count) % count) : 0;
    float remaining;
    memcpy(&remaining, &values[2], sizeof remaining);
    m_remaining = std::isfinite(remaining) ? remaining : 0.f;
    return true;
}

bool CSpriteAnimationState::saveState(zu::io::IWriteFile* file)
{
    if (!file) return false;
    uint32_t remainingBits;
    memcpy(&remainingBits, &m_remaining, sizeof remainingBits);
    const uint32_t values[3] = {m_flags, uint32_t(m_frame), remainingBits};
    uint8_t bytes[12];
    for (int i = 0; i < 3; ++i)
        zu::core::writeLE32(bytes + 4 * i, values[i]);
    return file->write(bytes, sizeof bytes) == int32_t(sizeof bytes);
}

} // namespace kelvo::video
