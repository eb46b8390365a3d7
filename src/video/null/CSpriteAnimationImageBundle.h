// CSpriteAnimationImageBundle: a picture too large for one page, drawn as a
// grid of parts in row-major order. Only drawing at a point is supported; the
// other drawing operations draw nothing.
#pragma once

#include "video/ISpriteAnimationImage.h"
#include "video/null/SSpriteRecords.h"

#include <vector>

namespace zu::video
{
class IVideoDriver;
}

namespace kelvo::video
{

class CSpritePackage;

class CSpriteAnimationImageBundle : public zu::video::ISpriteAnimationImage
{
  public:
    struct SPart
    {
        zu::video::ITexture* texture = nullptr; // grabbed; null when the page is missing
        zu::video::SRecti rect;
    };

    // The record has at least `columns` parts and one column or more.
    CSpriteAnimationImageBundle(CSpritePackage* package, zu::video::IVideoDriver* driver,
                                const SSpriteBundleRecord& record);
    ~CSpriteAnimationImageBundle() override;

    void release() override;

    void drawAt(zu::video::SPosition2i position, const zu::video::SRecti* clipRect,
                uint32_t color) override;
    bool drawNineColor(const zu::video::SVector2f*, const uint32_t*) override { return false; }
    bool drawCornerColor(const zu::video::SVector2f*, const uint32_t*) override { return false; }
    void drawScaled(zu::video::SVector2f, float, uint32_t) override {}
    void drawRotated(zu::video::SVector2f, float, float, const uint32_t*) override {}
    void drawMirrored(zu::video::SVector2f, float, uint32_t) override {}
    void drawFreeShape(zu::video::SVector2f, zu::video::SVector2f, zu::video::SVector2f,
                       zu::video::SVector2f, const uint32_t*) override
    {
    }
    void draw3D(zu::video::SVector3f, float, float, bool, uint32_t) override {}

    zu::video::SPosition2i getOffset() const override { return m_offset; }
    zu::video::SPosition2i getOriginalOffset() const override { return m_originalOffset; }
    // The grid's size.
    zu::core::SDimension2i getSize() const override;
    zu::core::SDimension2i getOriginalSize() const override { return getSize(); }
    // The first part's.
    zu::video::ITexture* getTexture() const override;
    zu::video::SRecti getSourceRect() const override;
    int32_t getId() const override { return m_id; }

    int32_t getColumns() const { return m_columns; }
    const std::vector<SPart>& getParts() const { return m_parts; }

    // The package is going: forget it and the pages.
    void detach();

  private:
    CSpritePackage* m_package;
    zu::video::IVideoDriver* m_driver;
    int32_t m_columns;
    zu::video::SPosition2i m_offset;
    zu::video::SPosition2i m_originalOffset;
    std::vector<SPart> m_parts;
    int32_t m_id;
};

} // namespace kelvo::video
