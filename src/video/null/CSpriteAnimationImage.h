// CSpriteAnimationImage: a rectangle on one page of a sprite package, shared
// by every state that shows it. It keeps its page texture alive with its own
// reference; an image whose page could not be made draws nothing.
#pragma once

#include "video/ISpriteAnimationImage.h"
#include "video/null/SSpriteRecords.h"

namespace zu::video
{
class IVideoDriver;
}

namespace kelvo::video
{

class CSpritePackage;

class CSpriteAnimationImage : public zu::video::ISpriteAnimationImage
{
  public:
    // Grabs the texture, which may be null.
    CSpriteAnimationImage(CSpritePackage* package, zu::video::IVideoDriver* driver,
                          const SSpriteImageRecord& record, zu::video::ITexture* texture);
    ~CSpriteAnimationImage() override;

    void release() override;

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

    zu::video::SPosition2i getOffset() const override { return m_offset; }
    zu::video::SPosition2i getOriginalOffset() const override { return m_originalOffset; }
    zu::core::SDimension2i getSize() const override;
    zu::core::SDimension2i getOriginalSize() const override { return m_originalSize; }
    zu::video::ITexture* getTexture() const override { return m_texture; }
    zu::video::SRecti getSourceRect() const override { return m_sourceRect; }
    int32_t getId() const override { return m_id; }

    // The package is going: forget it and the page, so the image draws
    // nothing and its last release just destroys it.
    void detach();

  private:
    CSpritePackage* m_package;
    zu::video::IVideoDriver* m_driver;
    zu::video::SPosition2i m_offset;
    zu::video::SPosition2i m_originalOffset;
    zu::video::ITexture* m_texture;
    zu::video::SRecti m_sourceRect;
    zu::core::SDimension2i m_originalSize;
    int32_t m_id;
};

} // namespace kelvo::video
