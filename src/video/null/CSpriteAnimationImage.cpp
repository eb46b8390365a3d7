#include "video/null/CSpriteAnimationImage.h"

#include "core/CMatrix4.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/MaterialState.h"
#include "video/S3DVertex.h"
#include "video/null/CSpritePackage.h"

#include <cmath>
#include <utility>

using namespace zu::video;

namespace kelvo::video
{

namespace
{
SVector2f midpoint(SVector2f a, SVector2f b)
{
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
}
} // namespace

CSpriteAnimationImage::CSpriteAnimationImage(CSpritePackage* package, IVideoDriver* driver,
                                             const SSpriteImageRecord& record, ITexture* texture)
    : m_package(package), m_driver(driver), m_offset(record.offset),
      m_originalOffset(record.originalOffset), m_texture(texture), m_sourceRect(record.sourceRect),
      m_originalSize(record.originalSize), m_id(record.id)
{
    if (m_texture) m_texture->grab();
}

CSpriteAnimationImage::~CSpriteAnimationImage()
{
    zu::dropAndClear(m_texture);
}

void CSpriteAnimationImage::release()
{
    if (m_package)
        m_package->releaseImage(this);
    else
        drop();
}

void CSpriteAnimationImage::detach()
{
    m_package = nullptr;
    zu::dropAndClear(m_texture);
}

zu::core::SDimension2i CSpriteAnimationImage::getSize() const
{
    return {m_sourceRect.getWidth(), m_sourceRect.getHeight()};
}

void CSpriteAnimationImage::drawAt(SPosition2i position, const SRecti* clipRect, uint32_t color)
{
    if (!m_texture) return;
    const SPosition2i at = {clampToInt32(int64_t(position.x) + m_offset.x),
                            clampToInt32(int64_t(position.y) + m_offset.y)};
    m_driver->drawImage(m_texture, at, m_sourceRect, clipRect, color, true);
}

bool CSpriteAnimationImage::drawNineColor(const SVector2f corners[4], const uint32_t colors[9])
{
    if (!m_texture || !corners || !colors) return false;
    const SVector2f& tl = corners[0];
    const SVector2f& tr = corners[1];
    const SVector2f& bl = corners[2];
    const SVector2f& br = corners[3];
    const SVector2f top = midpoint(tl, tr);
    const SVector2f left = midpoint(tl, bl);
    const SVector2f right = midpoint(tr, br);
    const SVector2f bottom = midpoint(bl, br);
    const SVector2f centre = {(tl.x + tr.x + bl.x + br.x) * 0.25f,
                              (tl.y + tr.y + bl.y + br.y) * 0.25f};
    const SRecti& s = m_sourceRect;
    const int32_t midX = s.left + s.getWidth() / 2;
    const int32_t midY = s.top + s.getHeight() / 2;

    // Each quarter takes the grid colours at its own corners, in the quad
    // order top-left, bottom-left, bottom-right, top-right.
    const uint32_t c0[4] = {colors[0], colors[3], colors[4], colors[1]};
    const uint32_t c1[4] = {colors[1], colors[4], colors[5], colors[2]};
    const uint32_t c2[4] = {colors[3], colors[6], colors[7], colors[4]};
    const uint32_t c3[4] = {colors[4], colors[7], colors[8], colors[5]};
    m_driver->drawImageQuad(m_texture, tl, top, left, centre, {s.left, s.top, midX, midY}, c0, true,
                            true);
    m_driver->drawImageQuad(m_texture, top, tr, centre, right, {midX, s.top, s.right, midY}, c1,
                            true, true);
    m_driver->drawImageQuad(m_texture, left, centre, bl, bottom, {s.left, midY, midX, s.bottom}, c2,
                            true, true);
    m_driver->drawImageQuad(m_texture, centre, right, bottom, br, {midX, midY, s.right, s.bottom},
                            c3, true, true);
    return true;
}

bool CSpriteAnimationImage::drawCornerColor(const SVector2f corners[4], const uint32_t colors[9])
{
    if (!m_texture || !corners || !colors) return false;
    const uint32_t quad[4] = {colors[0], colors[6], colors[8], colors[2]};
    m_driver->drawImageQuad(m_texture, corners[0], corners[1], corners[2], corners[3], m_sourceRect,
                            quad, true, true);
    return true;
}

void CSpriteAnimationImage::drawScaled(SVector2f position, float scale, uint32_t color)
{
    if (!m_texture) return;
    const SVector2f at = {position.x + float(m_offset.x) * scale,
                          position.y + float(m_offset.y) * scale};
    m_driver->drawImageScaled(m_texture, at, m_sourceRect, scale, color, true);
}

void CSpriteAnimationImage::drawRotated(SVector2f position, float angle, float scale,
                                        const uint32_t colors[4])
{
    if (!m_texture || !colors) return;
    const float c = std::cos(angle) * scale;
    const float n = std::sin(angle) * scale;
    auto place = [&](float u, float v) -> SVector2f {
        return {position.x + u * c - v * n, position.y + u * n + v * c};
    };
    const float left = float(m_offset.x);
    const float top = float(m_offset.y);
    const float right = left + float(m_sourceRect.getWidth());
    const float bottom = top + float(m_sourceRect.getHeight());
    m_driver->drawImageQuad(m_texture, place(left, top), place(right, top), place(left, bottom),
                            place(right, bottom), m_sourceRect, colors, true, true);
}

void CSpriteAnimationImage::drawMirrored(SVector2f position, float scale, uint32_t color)
{
    if (!m_texture) return;
    const float w = float(m_sourceRect.getWidth());
    const float h = float(m_sourceRect.getHeight());
    const float left = position.x + (1.f - float(m_offset.x) - w) * scale;
    const float right = position.x + (1.f - float(m_offset.x)) * scale;
    const float top = position.y + float(m_offset.y) * scale;
    const float bottom = position.y + (float(m_offset.y) + h) * scale;
    const uint32_t colors[4] = {color, color, color, color};
    // The texture's left edge goes to the right.
    m_driver->drawImageQuad(m_texture, {right, top}, {left, top}, {right, bottom}, {left, bottom},
                            m_sourceRect, colors, true, true);
}

void CSpriteAnimationImage::drawFreeShape(SVector2f topLeft, SVector2f topRight,
                                          SVector2f bottomLeft, SVector2f bottomRight,
                                          const uint32_t colors[4])
{
    if (!m_texture || !colors) return;
    m_driver->drawImageQuad(m_texture, topLeft, topRight, bottomLeft, bottomRight, m_sourceRect,
                            colors, true, true);
}

void CSpriteAnimationImage::draw3D(SVector3f position, float angle, float scale, bool mirrored,
                                   uint32_t color)
{
    if (!m_texture) return;
    const zu::core::SDimension2i textureSize = m_texture->getSourceSize();
    if (textureSize.width <= 0 || textureSize.height <= 0) return;
    const float w = float(m_sourceRect.getWidth());
    const float h = float(m_sourceRect.getHeight());
    const float left = mirrored ? 1.f - float(m_offset.x) - w : float(m_offset.x);
    const float right = left + w;
    const float top = float(m_offset.y);
    const float bottom = top + h;
    const float c = std::cos(angle) * scale;
    const float n = std::sin(angle) * scale;

    float u0 = float(m_sourceRect.left) / float(textureSize.width);
    float u1 = float(m_sourceRect.right) / float(textureSize.width);
    if (mirrored) std::swap(u0, u1);
    const float vTop = float(m_sourceRect.top) / float(textureSize.height);
    const float vBottom = float(m_sourceRect.bottom) / float(textureSize.height);

    // y points up in 3D, so local y (down the picture) is negated.
    auto corner = [&](float u, float v, float tu, float tv)
    {
        S3DVertex vertex;
        vertex.x = position.x + u * c - v * n;
        vertex.y = position.y - (u * n + v * c);
        vertex.z = position.z;
        vertex.nx = vertex.ny = vertex.nz = 0.f;
        vertex.color = color;
        vertex.u = tu;
        vertex.v = tv;
        return vertex;
    };
    const S3DVertex vertices[4] = {corner(left, bottom, u0, vBottom),
                                   corner(right, bottom, u1, vBottom), corner(right, top, u1, vTop),
                                   corner(left, top, u0, vTop)};
    static const uint16_t indices[6] = {0, 2, 1, 0, 3, 2};

    m_driver->setTransform(ETS_WORLD, zu::core::CMatrix4());
    MaterialState material;
    material.MaterialType = EMT_TRANSPARENT_ALPHA_CHANNEL;
    material.Textures[0] = m_texture;
    material.Lighting = false;
    material.BackfaceCulling = false;
    material.DiffuseColor = 0x00000001;
    m_driver->setMaterial(material);
    m_driver->drawTriangleList(vertices, 4, indices, 2);
}

} // namespace kelvo::video
