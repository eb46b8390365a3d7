#include "video/null/CSpriteAnimationImageBundle.h"

#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/null/CSpritePackage.h"

using namespace zu::video;

namespace kelvo::video
{

CSpriteAnimationImageBundle::CSpriteAnimationImageBundle(CSpritePackage* package,
                                                         IVideoDriver* driver,
                                                         const SSpriteBundleRecord& record)
    : m_package(package), m_driver(driver), m_columns(record.columns), m_offset(record.offset),
      m_originalOffset(record.originalOffset), m_id(record.id)
{
    for (const SSpriteImageRecord& partRecord : record.parts)
    {
        SPart part;
        part.texture = package->getPageTexture(partRecord.page);
        if (part.texture) part.texture->grab();
        part.rect = partRecord.sourceRect;
        m_parts.push_back(part);
    }
}

CSpriteAnimationImageBundle::~CSpriteAnimationImageBundle()
{
    detach();
}

void CSpriteAnimationImageBundle::release()
{
    if (m_package)
        m_package->releaseImage(this);
    else
        drop();
}

void CSpriteAnimationImageBundle::detach()
{
    m_package = nullptr;
    for (SPart& part : m_parts)
        zu::dropAndClear(part.texture);
}

void CSpriteAnimationImageBundle::drawAt(SPosition2i position, const SRecti* clipRect,
                                         uint32_t color)
{
    if (m_columns <= 0) return;
    int64_t x = position.x;
    int64_t y = position.y;
    int32_t column = m_columns;
    for (const SPart& part : m_parts)
    {
        if (part.texture)
        {
            const SPosition2i at = {clampToInt32(x + m_offset.x), clampToInt32(y + m_offset.y)};
            m_driver->drawImage(part.texture, at, part.rect, clipRect, color, true);
        }
        if (--column > 0)
        {
            x += part.rect.getWidth();
        }
        else
        {
            x = position.x;
            y += part.rect.getHeight();
            column = m_columns;
        }
    }
}

zu::core::SDimension2i CSpriteAnimationImageBundle::getSize() const
{
    if (m_columns <= 0 || int64_t(m_parts.size()) < m_columns) return {0, 0};
    const int64_t rows = int64_t(m_parts.size()) / m_columns;
    const SRecti& first = m_parts.front().rect;
    const int64_t width = int64_t(first.getWidth()) * (m_columns - 1) +
                          m_parts[size_t(m_columns - 1)].rect.getWidth();
    const int64_t height =
        int64_t(first.getHeight()) * (rows - 1) + m_parts.back().rect.getHeight();
    return {clampToInt32(width), clampToInt32(height)};
}

ITexture* CSpriteAnimationImageBundle::getTexture() const
{
    return m_parts.empty() ? nullptr : m_parts.front().texture;
}

SRecti CSpriteAnimationImageBundle::getSourceRect() const
{
    return m_parts.empty() ? SRecti() : m_parts.front().rect;
}

} // namespace kelvo::video
