#include "gui/CGUIDetachableFrame.h"

#include "gui/CGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUIPopupMenu.h"
#include "gui/IGUISkin.h"

#include <algorithm>
#include <cstdlib>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

// A button of the frame: from the skin images under the prefix, else a
// small raised square.
CGUIButton* makeButton(IGUIEnvironment* environment, IGUIElement* frame, const char* prefix)
{
    auto* button = new CGUIButton(environment, frame, -1, {0, 0, 100, 20}, "");
    zu::video::ISpritePackage* package = environment->getSkin()->getSpritePackage();
    button->setImages(package, prefix, true);
    if (!button->hasImages())
    {
        const int32_t size = environment->getSkin()->getSize(2);
        button->setRelativePosition({0, 0, size, size});
    }
    button->setFixed(true);
    return button;
}

SRecti movedBy(const SRecti& r, int32_t dx, int32_t dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

CGUIDetachableFrame::CGUIDetachableFrame(IGUIEnvironment* environment, IGUIElement* parent,
                                         int32_t id, const SRecti& rectangle, uint32_t fadeDelay,
                                         bool withMenuButton, bool withCloseButton)
    : IGUIDetachableFrame(EGUIET_DETACHABLE_FRAME, environment, parent, id, rectangle),
      m_fadeDelay(fadeDelay), m_hideable(withCloseButton),
      m_titleFont(environment->getSkin()->getFont()), m_itemFont(environment->getSkin()->getFont())
{
    setDebugName("CGUIDetachableFrame");
    if (zu::video::ISpritePackage* package = environment->getSkin()->getSpritePackage())
        m_pieces.load(package, "Frame");
    if (withMenuButton) m_menuButton = makeButton(environment, this, "PearlButton");
    if (withCloseButton) m_closeButton = makeButton(environment, this, "CloseBtn");
    layOut();
}

CGUIDetachableFrame::~CGUIDetachableFrame()
{
    closeMenu();
    zu::dropAndClear(m_menuButton);
    zu::dropAndClear(m_closeButton);
}

IGUIElement* CGUIDetachableFrame::getMenu() const
{
    return m_menu;
}

IGUIElement* CGUIDetachableFrame::getMenuButton() const
{
    return m_menuButton;
}

IGUIElement* CGUIDetachableFrame::getCloseButton() const
{
    return m_closeButton;
}

void CGUIDetachableFrame::remove()
{
    // The menu lives at the top of the tree: it would outlive the frame.
    grab();
    closeMenu();
    IGUIDetachableFrame::remove();
    drop();
}

void CGUIDetachableFrame::setImages(zu::video::ISpritePackage* package,
                                    const zu::core::CString& prefix)
{
    m_pieces.load(package, prefix);
    layOut();
}

void CGUIDetachableFrame::setRelativePosition(const SRecti& rectangle)
{
    IGUIDetachableFrame::setRelativePosition(rectangle);
    layOut();
}

void CGUIDetachableFrame::layOut()
{
    const int32_t W = m_relativeRect.getWidth();
    m_pieces.layOut(W, m_relativeRect.getHeight());
    if (m_menuButton)
    {
        const SRecti& corner = m_pieces.rect(CGUIFramePieces::TOP_LEFT);
        m_menuButton->moveTo(corner.left, corner.top);
    }
    if (m_closeButton)
    {
        const int32_t width = m_closeButton->getRelativePosition().getWidth();
        const bool corner = m_pieces.has(CGUIFramePieces::TOP_RIGHT);
        const SRecti& piece = m_pieces.rect(CGUIFramePieces::TOP_RIGHT);
        m_closeButton->moveTo((corner ? piece.right : W) - width, corner ? piece.top : 0);
    }
}

SRecti CGUIDetachableFrame::getContentArea() const
{
    if (m_pieces.has(CGUIFramePieces::BACKGROUND))
        return m_pieces.rect(CGUIFramePieces::BACKGROUND);
    return {0, 0, m_relativeRect.getWidth(), m_relativeRect.getHeight()};
}

void CGUIDetachableFrame::addMenuOption(const zu::core::CString& text, int32_t commandId)
{
    m_options.push_back({text, commandId});
}

void CGUIDetachableFrame::setMenuVisible(bool visible)
{
    m_menuVisible = visible;
    if (m_menuButton) m_menuButton->setVisible(visible);
}

void CGUIDetachableFrame::setResizable(bool resizable, int32_t minimumWidth, int32_t minimumHeight)
{
    m_resizable = resizable;
    m_minimumWidth = minimumWidth;
    m_minimumHeight = minimumHeight;
}

void CGUIDetachableFrame::setLocked(bool locked)
{
    if (m_lockable) m_locked = locked;
}

void CGUIDetachableFrame::setFadeable(bool fadeable)
{
    m_fadeable = fadeable;
    if (!fadeable && !m_locked) m_fadedOut = false;
}

void CGUIDetachableFrame::setLockable(bool lockable)
{
    m_lockable = lockable;
    m_locked = lockable;
    if (!lockable && !m_fadeable) m_fadedOut = false;
}

void CGUIDetachableFrame::setHideable(bool hideable)
{
    m_hideable = hideable;
    if (m_closeButton) m_closeButton->setVisible(hideable);
}

void CGUIDetachableFrame::openMenu()
{
    closeMenu();
    const SRecti& button = m_menuButton->getAbsolutePosition();
    IGUIPopupMenu* menu =
        m_environment->addPopupMenu({button.right, button.bottom}, 100, "Menu Options", m_titleFont,
                                    m_itemFont, m_environment->getRootGUIElement(), -1);
    if (!menu) return;
    menu->grab();
    m_menu = menu;
    if (m_lockable) menu->addItem(m_locked ? "Unlock Window" : "Lock Window", LOCK_COMMAND);
    for (const SOption& option : m_options)
        menu->addItem(option.text, option.commandId);
    menu->setOwner(this);
}

void CGUIDetachableFrame::closeMenu()
{
    if (!m_menu) return;
    IGUIPopupMenu* menu = m_menu;
    m_menu = nullptr;
    menu->remove();
    menu->drop();
}

bool CGUIDetachableFrame::snap(SRecti& r) const
{
    if (!m_parent) return false;
    bool snappedX = false, snappedY = false;
    const SRecti& p = m_parent->getRelativePosition();
    // The bound is the parent's own area, in the coordinates r is in.
    const SRecti bound = {0, 0, p.getWidth(), p.getHeight()};
    if (m_parent->getType() == EGUIET_LAYOUT && m_parent->isVisible())
    {
        if (r.left < bound.left)
            r = movedBy(r, bound.left - r.left, 0), snappedX = true;
        else if (r.right > bound.right)
            r = movedBy(r, bound.right - r.right, 0), snappedX = true;
        if (r.top < bound.top)
            r = movedBy(r, 0, bound.top - r.top), snappedY = true;
        else if (r.bottom > bound.bottom)
            r = movedBy(r, 0, bound.bottom - r.bottom), snappedY = true;
    }
    for (const IGUIElement* child : m_parent->getChildren())
    {
        if (snappedX && snappedY) break;
        if (child == this || child->getType() != EGUIET_LAYOUT || !child->isVisible()) continue;
        const SRecti& c = child->getRelativePosition();
        if (!snappedX && r.top < c.bottom && c.top < r.bottom)
        {
            if (std::abs(r.left - c.right) <= SNAP_DISTANCE)
                r = movedBy(r, c.right - r.left, 0), snappedX = true;
            else if (std::abs(r.right - c.left) <= SNAP_DISTANCE)
                r = movedBy(r, c.left - r.right, 0), snappedX = true;
        }
        if (!snappedY && r.left < c.right && c.left < r.right)
        {
            if (std::abs(r.top - c.bottom) <= SNAP_DISTANCE)
                r = movedBy(r, 0, c.bottom - r.top), snappedY = true;
            else if (std::abs(r.bottom - c.top) <= SNAP_DISTANCE)
                r = movedBy(r, 0, c.top - r.bottom), snappedY = true;
        }
    }
    return snappedX || snappedY;
}

bool CGUIDetachableFrame::onEvent(const SEngineEvent& event)
{
    if (m_eventHook && !m_moving && !m_resizing && m_eventHook->onEvent(event)) return true;
    if (event.type == GuiEvent)
    {
        const IGUIElement* caller = event.gui.caller;
        switch (event.gui.eventType)
        {
        case GuiFocusLost:
            m_moving = m_resizing = false;
            return true;
        case GuiClicked:
            if (caller && caller == m_menuButton)
            {
                openMenu();
                return true;
            }
            if (caller && caller == m_closeButton && m_hideable)
            {
                setVisible(false);
                sendGUIEvent(GuiHidden);
                return true;
            }
            break;
        case GuiPopupClicked:
            if (caller && caller->getID() == LOCK_COMMAND)
            {
                m_locked = !m_locked;
                return true;
            }
            break;
        case GuiPopupClosed:
            if (caller && caller == m_menu) zu::dropAndClear(m_menu);
            break;
        default:
            break;
        }
    }
    else if (event.type == MouseEvent && onMouse(event.mouse))
        return true;
    return IGUIDetachableFrame::onEvent(event);
}

bool CGUIDetachableFrame::onMouse(const SMouseEvent& mouse)
{
    const zu::video::SPosition2i point = {mouse.x, mouse.y};
    switch (mouse.action)
    {
    case LeftDown:
        if (m_locked) return false;
        m_pressPoint = m_lastPoint = point;
        m_pressCorner = {m_relativeRect.left, m_relativeRect.top};
        if (m_environment->hasFocus(this)) return !m_fadedOut;
        {
            const zu::video::SPosition2i local = {point.x - m_absoluteRect.left,
                                                  point.y - m_absoluteRect.top};
            if (m_resizable && m_pieces.has(CGUIFramePieces::SIZE_DRAG_HANDLE) &&
                isInside(m_pieces.rect(CGUIFramePieces::SIZE_DRAG_HANDLE), local))
                m_resizing = true;
            else
                m_moving = true;
        }
        m_fadedOut = false;
        m_environment->setFocus(this);
        if (m_parent) m_parent->bringToFront(this);
        return true;
    case LeftUp:
    {
        bool handled = false;
        if (mouse.clicks > 1 && m_lockable)
        {
            m_locked = true;
            handled = true;
        }
        if (!m_locked && !m_fadedOut) handled = true;
        if (m_moving || m_resizing)
        {
            m_moving = m_resizing = false;
            handled = true;
        }
        m_environment->removeFocus(this);
        return handled;
    }
    case MouseMoved:
        m_lastActivity = getTime();
        m_activitySeen = true;
        if (m_menuButton) m_menuButton->setVisible(m_menuVisible);
        if (m_closeButton) m_closeButton->setVisible(m_hideable);
        if (m_moving && !m_locked)
        {
            const int32_t w = m_relativeRect.getWidth(), h = m_relativeRect.getHeight();
            const int32_t x = m_pressCorner.x + point.x - m_pressPoint.x;
            const int32_t y = m_pressCorner.y + point.y - m_pressPoint.y;
            SRecti candidate = {x, y, x + w, y + h};
            snap(candidate);
            setRelativePosition(candidate);
            return true;
        }
        if (m_resizing && !m_locked)
        {
            const SRecti& r = m_relativeRect;
            const int32_t right =
                std::max(r.right + point.x - m_lastPoint.x, r.left + m_minimumWidth);
            const int32_t bottom =
                std::max(r.bottom + point.y - m_lastPoint.y, r.top + m_minimumHeight);
            m_lastPoint = point;
            setRelativePosition({r.left, r.top, right, bottom});
            sendGUIEvent(GuiResized);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CGUIDetachableFrame::draw()
{
    if (!m_visible) return;
    uint32_t color = 0xFFFFFFFF;
    const uint32_t elapsed = getTime() - m_lastActivity;
    if (m_fadeable && m_activitySeen && elapsed >= m_fadeDelay &&
        !isInside(m_absoluteRect, m_environment->getLastMousePosition()))
    {
        if (m_menuButton) m_menuButton->setVisible(false);
        if (m_closeButton) m_closeButton->setVisible(false);
        if (uint64_t(elapsed) >= 2 * uint64_t(m_fadeDelay))
        {
            m_fadedOut = true;
            IGUIDetachableFrame::draw();
            return;
        }
        // Opaque at one delay, clear at two.
        const uint32_t alpha = uint32_t((2 * uint64_t(m_fadeDelay) - elapsed) * 255 / m_fadeDelay);
        color = (alpha << 24) | 0x00FFFFFF;
    }
    if ((m_activitySeen && !m_locked) || !m_fadeable)
    {
        const zu::video::SPosition2i origin = {m_absoluteRect.left, m_absoluteRect.top};
        if (m_pieces.has(CGUIFramePieces::BACKGROUND))
            m_pieces.draw(origin, &m_clippingRect, color);
        if (m_resizable) m_pieces.drawHandle(origin, &m_clippingRect, color);
        m_fadedOut = false;
    }
    else
    {
        m_fadedOut = true;
        IGUIDetachableFrame::draw();
        return;
    }
    IGUISkin* skin = m_environment->getSkin();
    IGUIFont* font = skin->getFont();
    if (!m_text.empty() && font)
    {
        const SRecti caption = m_pieces.captionRect(m_absoluteRect);
        const SRecti clip = intersect(caption, m_clippingRect);
        const uint32_t textColor = (skin->getColor(6) & 0x00FFFFFF) | (color & 0xFF000000);
        font->draw(m_text, caption, textColor, EGUIA_UPPERLEFT, EGUIA_CENTER, &clip);
    }
    IGUIDetachableFrame::draw();
}

} // namespace kelvo::gui
