#include "gui/CGUICheckBox.h"

#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

CGUICheckBox::CGUICheckBox(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                           const zu::video::SRecti& rectangle, bool checked,
                           const zu::core::CString& text)
    : IGUICheckBox(EGUIET_CHECK_BOX, environment, parent, id, rectangle), m_checked(checked)
{
    setDebugName("CGUICheckBox");
    m_text = text;
    if (IGUISkin* skin = environment ? environment->getSkin() : nullptr)
    {
        if (skin->getSpritePackage()) setImages(skin->getSpritePackage(), "Checkbox");
        m_textColor = skin->getColor(8);
        m_font = skin->getFont();
    }
}

void CGUICheckBox::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_images.load(package, prefix);
}

void CGUICheckBox::fitWidthToText()
{
    if (!m_font || m_text.empty()) return;
    const int32_t wanted =
        m_relativeRect.getHeight() + m_font->getDimension(m_text).width + TEXT_GAP;
    if (m_relativeRect.getWidth() < wanted)
        setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + wanted,
                             m_relativeRect.bottom});
}

bool CGUICheckBox::onEvent(const SEngineEvent& event)
{
    if (!m_enabled || !m_visible) return IGUICheckBox::onEvent(event);
    if (event.type == GuiEvent)
    {
        if (event.gui.eventType == GuiFocusLost || event.gui.eventType == GuiLeft)
        {
            m_pressed = false;
            m_highlighted = false;
            return true;
        }
        if (event.gui.eventType == GuiHovered) m_highlighted = true;
    }
    else if (event.type == MouseEvent)
    {
        if (event.mouse.action == LeftDown)
        {
            m_pressed = true;
            m_environment->setFocus(this);
            return true;
        }
        if (event.mouse.action == LeftUp)
        {
            const bool was = m_pressed;
            m_environment->removeFocus(this);
            m_pressed = false;
            if (was && m_parent)
            {
                m_checked = !m_checked;
                sendGUIEvent(GuiCheckBoxToggled);
                return true;
            }
        }
    }
    return IGUICheckBox::onEvent(event);
}

void CGUICheckBox::drawBox(const zu::video::SRecti& r) const
{
    IGUISkin* skin = m_environment->getSkin();
    drawFrameLayers(m_environment->getVideoDriver(), skin, r, &m_clippingRect,
                    {{3, 0, 0, 0, 0},
                     {1, 0, 0, 1, 1},
                     {4, 1, 1, 1, 1},
                     {0, 1, 1, 2, 2},
                     {m_pressed ? 2 : 6, 2, 2, 2, 2}});
    IGUIFont* mark = m_environment->getBuiltInFont();
    if (m_checked && mark)
    {
        // The mark stays inside the box, whatever the element's clip.
        const zu::video::SRecti inBox = intersect(r, m_clippingRect);
        mark->draw(zu::core::CString(&CHECK_MARK, 1), r, skin->getColor(8), EGUIA_CENTER,
                   EGUIA_CENTER, &inBox);
    }
}

void CGUICheckBox::draw()
{
    if (!m_visible) return;
    const zu::video::SRecti& r = m_absoluteRect;
    const int32_t height = r.getHeight();
    size_t image = 0;
    if (!m_enabled) image = 2;
    if (m_highlighted) image = 1;
    if (m_checked) image += 3;
    int32_t textOffset;
    if (m_images.has(image))
    {
        const zu::core::SDimension2i size = m_images.size(image);
        const zu::video::SPosition2i at =
            m_text.empty() ? zu::video::SPosition2i{r.left, r.top}
                           : zu::video::SPosition2i{r.left + (height - size.width + TEXT_GAP) / 2,
                                                    r.top + (height - size.height) / 2};
        m_images.draw(image, at, &m_clippingRect);
        textOffset = height;
    }
    else
    {
        const int32_t s = m_environment->getSkin()->getSize(3);
        const int32_t top = r.top + (height - s) / 2;
        drawBox({r.left, top, r.left + s, top + s});
        textOffset = s;
    }
    if (!m_text.empty() && m_font)
        m_font->draw(m_text, {r.left + textOffset + TEXT_GAP, r.top, r.right, r.bottom},
                     m_textColor, EGUIA_UPPERLEFT, EGUIA_CENTER, &m_clippingRect);
    IGUICheckBox::draw();
}

} // namespace kelvo::gui
