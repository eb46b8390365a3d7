#include "gui/CGUIButton.h"

#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

CGUIButton::CGUIButton(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                       const zu::video::SRecti& rectangle, const zu::core::CString& caption,
                       bool drawUnclipped)
    : IGUIButton(EGUIET_BUTTON, environment, parent, id, rectangle), m_drawUnclipped(drawUnclipped)
{
    setDebugName("CGUIButton");
    if (!caption.empty()) m_text = caption;
    IGUISkin* skin = environment ? environment->getSkin() : nullptr;
    zu::video::ISpritePackage* package = skin ? skin->getSpritePackage() : nullptr;
    if (!package) return;
    // With a skin every button takes the size of its images.
    if (!caption.empty() && caption[0] == CLOSE_CAPTION)
    {
        setImages(package, "CloseBtn", true);
        m_text = zu::core::CString();
    }
    else
        setImages(package, "TextButton", true);
}

CGUIButton::~CGUIButton()
{
    zu::dropAndClear(m_overrideFont);
}

void CGUIButton::setOverrideFont(IGUIFont* font)
{
    if (font) font->grab();
    zu::dropAndClear(m_overrideFont);
    m_overrideFont = font;
}

void CGUIButton::setOverrideColor(uint32_t color)
{
    m_overrideColor = color;
    m_overrideColorEnabled = true;
}

void CGUIButton::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix,
                           bool fitSize)
{
    m_images.load(package, prefix);
    if (!fitSize || !m_images.has(EGBS_NORMAL)) return;
    const zu::core::SDimension2i size = m_images.size(EGBS_NORMAL);
    setRelativeRect({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + size.width,
                     m_relativeRect.top + size.height});
    updateAbsolutePosition();
}

void CGUIButton::setState(EGUIButtonState state)
{
    if (state == m_state) return;
    m_state = state;
    m_images.restart(size_t(state));
}

void CGUIButton::setPressed(bool pressed)
{
    setState(pressed ? EGBS_PRESSED : m_enabled ? EGBS_NORMAL : EGBS_DISABLED);
}

void CGUIButton::click()
{
    sendGUIEvent(GuiClicked);
}

bool CGUIButton::onEvent(const SEngineEvent& event)
{
    if (!m_enabled)
    {
        setState(EGBS_DISABLED);
        return IGUIButton::onEvent(event);
    }
    switch (event.type)
    {
    case GuiEvent:
        if (event.gui.eventType == GuiLeft || event.gui.eventType == GuiHovered)
        {
            if (!keepsPressed())
                setState(event.gui.eventType == GuiLeft ? EGBS_NORMAL : EGBS_HIGHLIGHTED);
            return true;
        }
        break;
    case MouseEvent:
        if (onMouse(event.mouse)) return true;
        // A press outside while focused is left for the element under it.
        if (event.mouse.action == LeftDown || event.mouse.action == RightDown) return false;
        break;
    case KeyEvent:
        if (onKey(event.key)) return true;
        break;
    default:
        break;
    }
    return IGUIButton::onEvent(event);
}

bool CGUIButton::onMouse(const SMouseEvent& mouse)
{
    const bool inside = isInside(m_absoluteRect, {mouse.x, mouse.y});
    switch (mouse.action)
    {
    case LeftDown:
    case RightDown:
        if (m_environment->hasFocus(this) && !inside)
        {
            m_environment->removeFocus(this);
            return false;
        }
        if (!m_pushButton) setState(EGBS_PRESSED);
        m_environment->setFocus(this);
        return true;
    case LeftUp:
    case RightUp:
    {
        const EGUIButtonState old = m_state;
        m_environment->removeFocus(this);
        if (!m_pushButton)
            setState(EGBS_HIGHLIGHTED);
        else if (inside)
            setState(m_state == EGBS_PRESSED ? EGBS_HIGHLIGHTED : EGBS_PRESSED);
        const bool clicked = m_pushButton ? m_state != old : old == EGBS_PRESSED;
        if (clicked) sendGUIEvent(mouse.action == LeftUp ? GuiClicked : GuiRightClicked);
        return true;
    }
    default:
        return false;
    }
}

bool CGUIButton::onKey(const SKeyEvent& key)
{
    if (key.key != 13 && key.key != 32) return false;
    if (key.action == KeyPressed)
    {
        setState(keepsPressed() ? EGBS_HIGHLIGHTED : EGBS_PRESSED);
        return true;
    }
    if (key.action == KeyReleased && m_state == EGBS_PRESSED)
    {
        m_environment->removeFocus(this);
        if (!m_pushButton) setState(EGBS_HIGHLIGHTED);
        sendGUIEvent(GuiClicked);
        return true;
    }
    return false;
}

void CGUIButton::draw()
{
    if (!m_visible) return;
    if (!m_enabled && m_state != EGBS_DISABLED)
        setState(EGBS_DISABLED);
    else if (m_enabled && m_state == EGBS_DISABLED)
        setState(EGBS_NORMAL);
    // While a new size is unread, the images keep the button at theirs.
    if (m_sizeChanged && m_images.has(EGBS_NORMAL))
    {
        const zu::core::SDimension2i size = m_images.size(EGBS_NORMAL);
        setRelativeRect({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + size.width,
                         m_relativeRect.top + size.height});
        updateAbsolutePosition();
    }
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    const zu::video::SRecti* clip = m_drawUnclipped ? nullptr : &m_clippingRect;
    const zu::video::SPosition2i corner = {m_absoluteRect.left, m_absoluteRect.top};
    if (m_images.has(size_t(m_state)))
        m_images.draw(size_t(m_state), corner, clip);
    else if (m_state == EGBS_PRESSED)
        drawSunkenFrame(driver, skin, m_absoluteRect, clip);
    else
        drawRaisedFrame(driver, skin, m_absoluteRect, clip);

    IGUIFont* font = m_overrideFont ? m_overrideFont : skin->getFont();
    if (!m_text.empty() && font)
    {
        zu::video::SRecti area = m_absoluteRect;
        if (m_state == EGBS_PRESSED) area.top += 2;
        const uint32_t color =
            m_overrideColorEnabled ? m_overrideColor : skin->getColor(m_enabled ? 8 : 9);
        font->draw(m_text, area, color, EGUIA_CENTER, EGUIA_CENTER, clip);
    }
    IGUIButton::draw();
}

} // namespace kelvo::gui
