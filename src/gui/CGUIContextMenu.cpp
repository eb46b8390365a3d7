#include "gui/CGUIContextMenu.h"

#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

constexpr int32_t SEPARATOR_HEIGHT = 6;
constexpr int32_t TEXT_MARGIN = 12;

} // namespace

CGUIContextMenu::CGUIContextMenu(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                                 const SRecti& rectangle)
    : IGUIContextMenu(EGUIET_ELEMENT, environment, parent, id, rectangle)
{
    setDebugName("CGUIContextMenu");
}

CGUIContextMenu::~CGUIContextMenu()
{
    removeSubMenus();
}

void CGUIContextMenu::removeSubMenus()
{
    for (SItem& item : m_items)
        if (item.subMenu)
        {
            item.subMenu->m_ownerMenu = nullptr;
            item.subMenu->remove();
            zu::dropAndClear(item.subMenu);
        }
}

void CGUIContextMenu::remove()
{
    grab();
    removeSubMenus();
    IGUIContextMenu::remove();
    drop();
}

int32_t CGUIContextMenu::lineHeight() const
{
    IGUIFont* font = m_environment->getSkin()->getFont();
    return (font ? font->getDimension("A").height : 0) + 6;
}

int32_t CGUIContextMenu::addItem(const zu::core::CString& text, int32_t commandId, bool enabled,
                                 bool hasSubMenu)
{
    CGUIContextMenu* sub = nullptr;
    if (hasSubMenu)
    {
        // At the top of the tree, so that nothing clips it or hides it.
        sub = new CGUIContextMenu(m_environment, m_environment->getRootGUIElement(), -1,
                                  {0, 0, 100, 20});
        sub->setVisible(false);
        sub->m_ownerMenu = this;
    }
    m_items.push_back({text, false, enabled, commandId, sub, {}});
    layOutItems();
    return getItemCount() - 1;
}

void CGUIContextMenu::addSeparator()
{
    m_items.push_back({"", true, false, -1, nullptr, {}});
    layOutItems();
}

zu::core::CString CGUIContextMenu::getItemText(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)].text : zu::core::CString();
}

int32_t CGUIContextMenu::getItemCommandId(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)].commandId : -1;
}

void CGUIContextMenu::setItemEnabled(int32_t index, bool enabled)
{
    if (index >= 0 && index < getItemCount()) m_items[size_t(index)].enabled = enabled;
}

IGUIContextMenu* CGUIContextMenu::getSubMenu(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)].subMenu : nullptr;
}

SRecti CGUIContextMenu::getItemRect(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)].rect : SRecti{};
}

void CGUIContextMenu::layOutItems()
{
    IGUIFont* font = m_environment->getSkin()->getFont();
    int32_t width = m_relativeRect.getWidth();
    for (const SItem& item : m_items)
        if (font) width = std::max(width, font->getDimension(item.text).width + 3 * TEXT_MARGIN);
    int32_t y = 3;
    for (SItem& item : m_items)
    {
        const int32_t h = item.separator ? SEPARATOR_HEIGHT : lineHeight();
        item.rect = {3, y, width - 3, y + h};
        y += h;
    }
    const SRecti& r = m_relativeRect;
    setRelativePosition({r.left, r.top, r.left + width, r.top + y + 3});
}

zu::video::SPosition2i CGUIContextMenu::subMenuPosition(int32_t index) const
{
    const SRecti& item = m_items[size_t(index)].rect;
    return {m_absoluteRect.right - 3, m_absoluteRect.top + item.top};
}

void CGUIContextMenu::closeAfterChoice()
{
    setVisible(false);
}

int32_t CGUIContextMenu::itemAt(zu::video::SPosition2i point) const
{
    const zu::video::SPosition2i local = {point.x - m_absoluteRect.left,
                                          point.y - m_absoluteRect.top};
    for (int32_t i = 0; i < getItemCount(); ++i)
        if (!m_items[size_t(i)].separator && isInside(m_items[size_t(i)].rect, local)) return i;
    return -1;
}

void CGUIContextMenu::highlight(int32_t index)
{
    m_highlighted = index;
    for (int32_t i = 0; i < getItemCount(); ++i)
    {
        CGUIContextMenu* sub = m_items[size_t(i)].subMenu;
        if (!sub) continue;
        sub->setVisible(i == index);
        if (i != index) continue;
        IGUIElement* root = m_environment->getRootGUIElement();
        root->bringToFront(sub);
        const zu::video::SPosition2i at = subMenuPosition(i);
        sub->moveTo(at.x - root->getAbsolutePosition().left,
                    at.y - root->getAbsolutePosition().top);
    }
}

bool CGUIContextMenu::anySubMenuOpen() const
{
    for (const SItem& item : m_items)
        if (item.subMenu && item.subMenu->isVisible()) return true;
    return false;
}

bool CGUIContextMenu::onEvent(const SEngineEvent& event)
{
    if (!m_enabled) return IGUIContextMenu::onEvent(event);
    if (event.type == GuiEvent && event.gui.eventType == GuiMenuItemSelected &&
        event.gui.caller != this)
    {
        // A choice in a sub-menu closes this one too.
        grab();
        highlight(-1);
        closeAfterChoice();
        const bool taken = IGUIContextMenu::onEvent(event);
        drop();
        return taken;
    }
    if (event.type != MouseEvent) return IGUIContextMenu::onEvent(event);
    const zu::video::SPosition2i point = {event.mouse.x, event.mouse.y};
    const int32_t hit = itemAt(point);
    switch (event.mouse.action)
    {
    case MouseMoved:
        if (hit < 0) return false;
        if (opensOnHover() || anySubMenuOpen())
            highlight(hit);
        else
            m_highlighted = hit;
        return true;
    case LeftDown:
        return isInside(m_absoluteRect, point);
    case LeftUp:
    {
        if (hit < 0) return isInside(m_absoluteRect, point);
        const SItem& item = m_items[size_t(hit)];
        if (!item.enabled) return true;
        if (item.subMenu)
        {
            highlight(m_highlighted == hit && item.subMenu->isVisible() ? -1 : hit);
            return true;
        }
        m_selected = hit;
        grab();
        highlight(-1);
        closeAfterChoice();
        if (CGUIContextMenu* owner = m_ownerMenu)
        {
            owner->grab();
            owner->onEvent(SEngineEvent::makeGui(this, GuiMenuItemSelected));
            owner->drop();
        }
        else
            sendGUIEvent(GuiMenuItemSelected);
        drop();
        return true;
    }
    default:
        return IGUIContextMenu::onEvent(event);
    }
}

void CGUIContextMenu::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    const SRecti& r = m_absoluteRect;
    drawRaisedFrame(driver, skin, r, &m_clippingRect);
    IGUIFont* font = skin->getFont();
    for (int32_t i = 0; i < getItemCount(); ++i)
    {
        const SItem& item = m_items[size_t(i)];
        const SRecti a = {r.left + item.rect.left, r.top + item.rect.top, r.left + item.rect.right,
                          r.top + item.rect.bottom};
        if (item.separator)
        {
            const int32_t y = (a.top + a.bottom) / 2;
            driver->drawRectangle(skin->getColor(1), {a.left + 2, y - 1, a.right - 2, y},
                                  &m_clippingRect);
            driver->drawRectangle(skin->getColor(3), {a.left + 2, y, a.right - 2, y + 1},
                                  &m_clippingRect);
            continue;
        }
        if (i == m_highlighted && item.enabled)
            drawSelectionHighlight(driver, skin, a, &m_clippingRect);
        if (!font) continue;
        const uint32_t color = skin->getColor(item.enabled ? 8 : 9);
        font->draw(item.text, {a.left + TEXT_MARGIN, a.top, a.right, a.bottom}, color,
                   EGUIA_UPPERLEFT, EGUIA_CENTER, &m_clippingRect);
        if (item.subMenu)
            font->draw(">", {a.left, a.top, a.right - 4, a.bottom}, color, EGUIA_LOWERRIGHT,
                       EGUIA_CENTER, &m_clippingRect);
    }
    IGUIContextMenu::draw();
}

} // namespace kelvo::gui
