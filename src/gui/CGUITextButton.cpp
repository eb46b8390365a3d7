#include "gui/CGUITextButton.h"

#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"

#include <algorithm>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

CGUITextButton::CGUITextButton(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                               const zu::core::CString& caption,
                               const zu::core::CString& markerImage,
                               const zu::core::CString& topImage, IGUIFont* font,
                               uint32_t textColor)
    : IGUITextButton(EGUIET_TEXT_BUTTON, environment, parent, id, {0, 0, 10, 10}),
      m_caption(caption), m_textColor(textColor)
{
    setDebugName("CGUITextButton");
    IGUISkin* skin = environment ? environment->getSkin() : nullptr;
    m_font = font ? font : skin ? skin->getFont() : nullptr;
    if (m_font) m_captionSize = m_font->getDimension(m_caption);
    zu::core::SDimension2i size = m_captionSize;
    if (zu::video::ISpritePackage* package = skin ? skin->getSpritePackage() : nullptr)
    {
        if (!markerImage.empty())
        {
            m_marker.load(package, markerImage);
            size.width += 2 * m_marker.size(0).width;
            size.height = std::max(size.height, m_marker.size(0).height);
        }
        if (!topImage.empty())
        {
            m_top.load(package, topImage);
            size.height += m_top.size(0).height;
            size.width = std::max(size.width, m_top.size(0).width);
        }
    }
    setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + size.width,
                         m_relativeRect.top + size.height});
}

bool CGUITextButton::onEvent(const SEngineEvent& event)
{
    if (m_enabled)
    {
        const bool released = (event.type == MouseEvent &&
                               (event.mouse.action == LeftUp || event.mouse.action == RightUp)) ||
                              (event.type == KeyEvent && event.key.action == KeyReleased &&
                               (event.key.key == 13 || event.key.key == 32));
        if (released)
        {
            m_environment->removeFocus(this);
            const bool right = event.type == MouseEvent && event.mouse.action == RightUp;
            sendGUIEvent(right ? GuiRightClicked : GuiClicked);
            return true;
        }
    }
    return IGUITextButton::onEvent(event);
}

void CGUITextButton::draw()
{
    if (!m_visible) return;
    const zu::video::SRecti& r = m_absoluteRect;
    const int32_t width = r.getWidth(), height = r.getHeight();
    const bool hovered =
        m_enabled && isInside(m_clippingRect, m_environment->getLastMousePosition());
    const zu::core::SDimension2i top = m_top.size(0);
    m_top.draw(0, {r.left + (width - top.width) / 2, r.top}, &m_clippingRect);
    const int32_t below = top.height;
    if (m_font && !m_caption.empty())
        m_font->draw(m_caption,
                     {r.left + (width - m_captionSize.width) / 2,
                      r.top + below + (height - below - m_captionSize.height) / 2, r.right,
                      r.bottom},
                     m_textColor, EGUIA_UPPERLEFT, EGUIA_UPPERLEFT, &m_clippingRect);
    if (hovered && m_marker.has(0))
    {
        const zu::core::SDimension2i marker = m_marker.size(0);
        const int32_t y = r.top + below + (height - below - marker.height) / 2;
        m_marker.draw(0, {r.left, y}, &m_clippingRect);
        m_marker.draw(0, {r.right - marker.width, y}, &m_clippingRect);
    }
    IGUITextButton::draw();
}

} // namespace kelvo::gui
