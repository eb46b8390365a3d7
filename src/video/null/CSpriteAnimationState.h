// CSpriteAnimationState: a running animation of a sprite package. It keeps
// its own copy of the animation's steps and durations and one use of each
// frame image, and forwards drawing to the current frame.
#pragma once

#include "video/ISpriteAnimationState.h"
#include "video/null/SSpriteRecords.h"

#include <vector>

namespace zu::video
{
class ISpriteAnimationImage;
}

namespace kelvo::video
{

class CSpritePackage;

class CSpriteAnimationState : public zu::video::ISpriteAnimationState
{
  public:
    // Takes one use of each frame; frames may be fewer than the animation's
    // (ids that did not resolve are left out).
    CSpriteAnimationState(CSpritePackage* package, const SSpriteAnimationRecord& animation,
                          std::vector<zu::video::ISpriteAnimationImage*> frames);
    ~CSpriteAnimationState() override;

    void release() override;
    void reset() override;
    bool update(float seconds) override;

    void drawAt(zu::video::SPosition2i position, const zu::video::SRecti* clipRect,
                uint32_t color) override;
    bool drawNineColor(const zu::video::SVector2f corners[4], const uint32_t colors[9]) override;
    bool drawCornerColor(const zu::video::SVector2f corners[4], const uint32_t colors[9]) override;
    void drawScaled(zu::video::SVector2f position, float scale, uint32_t color) override;
    void drawRotated(zu::video::SVector2f position, float angle, float scale,
                     const uint32_t colors[4]) override;
    void drawMirrored(zu::video::SVector2f position, float scale, uint32_t color) override;
    void drawFreeShape(zu::video::SVector2f topLeft, zu::video::SVector2f topRight,
                       zu::video::SVector2f bottomLeft, zu::video::SVector2f bottomRight,
                       const uint32_t colors[4]) override;
    void draw3D(zu::video::SVector3f position, float angle, float scale, bool mirrored,
                uint32_t color) override;

    zu::video::SPosition2i getOffset(int32_t frame) const override;
    zu::video::SPosition2i getOriginalOffset(int32_t frame) const override;
    zu::core::SDimension2i getSize(int32_t frame) const override;
    zu::core::SDimension2i getOriginalSize(int32_t frame) const override;
    zu::video::ITexture* getTexture(int32_t frame) const override;
    zu::video::SRecti getSourceRect(int32_t frame) const override;

    zu::video::ISpriteAnimationImage* getImage(int32_t frame) const override
    {
        return frameAt(frame);
    }

    int32_t getFrame() const override { return m_frame; }
    int32_t getFrameCount() const override { return int32_t(m_frames.size()); }
    float getRemaining() const override { return m_remaining; }

    void setFlags(uint32_t mask, bool on) override;
    bool hasFlags(uint32_t mask) const override { return (m_flags & mask) == mask; }

    bool loadState(zu::io::IReadFile* file) override;
    bool saveState(zu::io::IWriteFile* file) override;

    // The package is going: hand the frames back and forget it. The state
    // then has no frames and its release just drops it.
    void detach();

  private:
    // The frame image, or null outside the frames.
    zu::video::ISpriteAnimationImage* frameAt(int32_t frame) const;
    zu::video::ISpriteAnimationImage* current() const { return frameAt(m_frame); }
    // Seconds the animation's frame lasts; "never" for a negative duration.
    float durationOf(int32_t frame) const;
    void releaseFrames();

    CSpritePackage* m_package;
    uint32_t m_flags = 0;
    int32_t m_frame = 0;
    std::vector<int32_t> m_steps;
    std::vector<int32_t> m_durations;
    std::vector<zu::video::ISpriteAnimationImage*> m_frames;
    float m_remaining = 0.f;
};

} // namespace kelvo::video
