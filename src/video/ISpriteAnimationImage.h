// ISpriteAnimationImage: one frame picture of a sprite package, shared by every
// state of the package that shows it. A plain image is a rectangle on one
// texture page; a bundle is a grid of such rectangles drawn as one picture.
// The reference count is the number of uses; release hands one use back to
// the package.
#pragma once

#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::video
{

class ITexture;

class ISpriteAnimationImage : public virtual IUnknown
{
  public:
    // Gives one use back to the package (the last use destroys the image).
    virtual void release() = 0;

    // Draws with the sprite origin at position, point sampled, blended by the
    // alpha channel. The clip rectangle may be null.
    virtual void drawAt(SPosition2i position, const SRecti* clipRect, uint32_t color) = 0;
    // Corners are top-left, top-right, bottom-left, bottom-right; colours a
    // 3 x 3 grid in row order. False when nothing was drawn.
    virtual bool drawNineColor(const SVector2f corners[4], const uint32_t colors[9]) = 0;
    virtual bool drawCornerColor(const SVector2f corners[4], const uint32_t colors[9]) = 0;
    virtual void drawScaled(SVector2f position, float scale, uint32_t color) = 0;
    // Colours are top-left, bottom-left, bottom-right, top-right; radians.
    virtual void drawRotated(SVector2f position, float angle, float scale,
                             const uint32_t colors[4]) = 0;
    // Mirrored left to right about the sprite origin's pixel column.
    virtual void drawMirrored(SVector2f position, float scale, uint32_t color) = 0;
    virtual void drawFreeShape(SVector2f topLeft, SVector2f topRight, SVector2f bottomLeft,
                               SVector2f bottomRight, const uint32_t colors[4]) = 0;
    // A quad in the x-y plane at z, y pointing up.
    virtual void draw3D(SVector3f position, float angle, float scale, bool mirrored,
                        uint32_t color) = 0;

    // Top-left relative to the sprite origin, trim included.
    virtual SPosition2i getOffset() const = 0;
    // The same without the trim.
    virtual SPosition2i getOriginalOffset() const = 0;
    virtual core::SDimension2i getSize() const = 0;
    // The size before trimming.
    virtual core::SDimension2i getOriginalSize() const = 0;
    // Null when the page could not be made.
    virtual ITexture* getTexture() const = 0;
    virtual SRecti getSourceRect() const = 0;
    virtual int32_t getId() const = 0;
};

} // namespace zu::video
