#include "gui/CGUIImage.h"

#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace kelvo::gui
{

CGUIImage::CGUIImage(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                     int32_t id, const zu::video::SRecti& rectangle)
    : IGUIImage(zu::gui::EGUIET_ELEMENT, environment, parent, id, rectangle)
{
    setDebugName("CGUIImage");
}

CGUIImage::~CGUIImage()
{
    zu::dropAndClear(m_texture);
    releaseState();
}

void CGUIImage::releaseState()
{
    if (m_state)
    {
        m_state->release();
        m_state = nullptr;
    }
}

void CGUIImage::setTexture(zu::video::ITexture* texture)
{
    if (texture) texture->grab();
    zu::dropAndClear(m_texture);
    m_texture = texture;
    releaseState();
}

void CGUIImage::setImage(const zu::core::CString& name, zu::video::ISpritePackage* package)
{
    zu::dropAndClear(m_texture);
    releaseState();
    if (!package) return;
    m_state = package->createState(name);
    if (!m_state) return;
    const zu::core::SDimension2i size = m_state->getSize(0);
    setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + size.width,
                         m_relativeRect.top + size.height});
}

void CGUIImage::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    const zu::video::SPosition2i corner = {m_absoluteRect.left, m_absoluteRect.top};
    if (m_texture)
    {
        // The element's size, no more than the picture has.
        const zu::core::SDimension2i size = m_texture->getSourceSize();
        const zu::video::SRecti source = {0, 0, std::min(m_absoluteRect.getWidth(), size.width),
                                          std::min(m_absoluteRect.getHeight(), size.height)};
        driver->drawImage(m_texture, corner, source, &m_clippingRect, 0xFFFFFFFF, false);
    }
    else if (m_state)
    {
        const zu::video::SPosition2i offset = m_state->getOffset(0);
        m_state->drawAt({corner.x - offset.x, corner.y - offset.y}, &m_clippingRect, m_color);
    }
    else
        driver->drawRectangle(m_environment->getSkin()->getColor(0), m_absoluteRect,
                              &m_clippingRect);
    IGUIImage::draw();
}

} // namespace kelvo::gui
