// ISpriteAnimationState: one running instance of a sprite package's animation:
// the current frame, the time left on it, and the drawing of that frame. A
// state whose animation resolved no images has no frames; it draws nothing
// and never advances.
#pragma once

#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::io
{
class IReadFile;
class IWriteFile;
} // namespace zu::io

namespace zu::video
{

class ISpriteAnimationImage;
class ITexture;

// State flags.
enum ESpriteStateFlag : uint32_t
{
    ESSF_PAUSED = 1
};

class ISpriteAnimationState : public virtual IUnknown
{
  public:
    // Seconds that stand for "never" (a negative frame duration): 48 hours.
    static constexpr float NEVER = 172800.f;

    // Hands the frames back and gives the state back to its package; the
    // caller's reference is gone afterwards.
    virtual void release() = 0;
    // Back to frame 0 with its full duration.
    virtual void reset() = 0;
    // Advances by the elapsed seconds; true when the animation went back to
    // its start (it wrapped, or ended by jumping back).
    virtual bool update(float seconds) = 0;

    // The current frame's drawing (see ISpriteAnimationImage).
    virtual void drawAt(SPosition2i position, const SRecti* clipRect, uint32_t color) = 0;
    virtual bool drawNineColor(const SVector2f corners[4], const uint32_t colors[9]) = 0;
    virtual bool drawCornerColor(const SVector2f corners[4], const uint32_t colors[9]) = 0;
    virtual void drawScaled(SVector2f position, float scale, uint32_t color) = 0;
    virtual void drawRotated(SVector2f position, float angle, float scale,
                             const uint32_t colors[4]) = 0;
    virtual void drawMirrored(SVector2f position, float scale, uint32_t color) = 0;
    virtual void drawFreeShape(SVector2f topLeft, SVector2f topRight, SVector2f bottomLeft,
                               SVector2f bottomRight, const uint32_t colors[4]) = 0;
    virtual void draw3D(SVector3f position, float angle, float scale, bool mirrored,
                        uint32_t color) = 0;

    // A frame's geometry. Outside the frames: offsets (0, 0), sizes (1, 1),
    // no texture, an empty rectangle.
    virtual SPosition2i getOffset(int32_t frame) const = 0;
    virtual SPosition2i getOriginalOffset(int32_t frame) const = 0;
    virtual core::SDimension2i getSize(int32_t frame) const = 0;
    virtual core::SDimension2i getOriginalSize(int32_t frame) const = 0;
    virtual ITexture* getTexture(int32_t frame) const = 0;
    virtual SRecti getSourceRect(int32_t frame) const = 0;
    // A frame's shared image, null outside the frames. It stays valid while
    // the state keeps its frames.
    virtual ISpriteAnimationImage* getImage(int32_t frame) const = 0;

    virtual int32_t getFrame() const = 0;
    virtual int32_t getFrameCount() const = 0;
    // Seconds left on the current frame.
    virtual float getRemaining() const = 0;

    virtual void setFlags(uint32_t mask, bool on) = 0;
    // Whether every bit of mask is set.
    virtual bool hasFlags(uint32_t mask) const = 0;

    // Flags, frame and remaining time as three 32-bit values. False for no
    // file or a short read or write; a failed load changes nothing.
    virtual bool loadState(io::IReadFile* file) = 0;
    virtual bool saveState(io::IWriteFile* file) = 0;
};

} // namespace zu::video
