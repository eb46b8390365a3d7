#include "gui/CGUITabButtonRow.h"

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

CGUITabButtonRow::CGUITabButtonRow(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                                   const SRecti& rectangle)
    : IGUITabButtonRow(EGUIET_TAB_BUTTON_ROW, environment, parent, id, rectangle),
      m_textColor(environment->getSkin()->getColor(8)), m_font(environment->getSkin()->getFont())
{
    setDebugName("CGUITabButtonRow");
}

int32_t CGUITabButtonRow::tabWidth() const
{
    return m_images.size(TAB_NORMAL).width;
}

void CGUITabButtonRow::layOutTabs()
{
    const int32_t w = tabWidth();
    const int32_t n = getTabCount();
    const int32_t W = m_relativeRect.getWidth();
    // One tab, however wide, simply starts at the left edge.
    const int32_t step = int64_t(W) >= int64_t(n) * w || n < 2 ? w : std::max(0, W - w) / (n - 1);
    for (int32_t i = 0; i < n; ++i)
        m_tabs[size_t(i)].x = i * step;
}

int32_t CGUITabButtonRow::getTabX(int32_t index) const
{
    return valid(index) ? m_tabs[size_t(index)].x : 0;
}

int32_t CGUITabButtonRow::tabAt(int32_t x) const
{
    const int32_t w = tabWidth();
    const int32_t n = getTabCount();
    // Later tabs cover earlier ones up to the active tab, which covers both
    // sides; past it, earlier ones cover later ones.
    for (int32_t i = 0; i < n; ++i)
    {
        const int32_t left = m_tabs[size_t(i)].x;
        if (x < left || x >= left + w) continue;
        if (i < m_active && i + 1 < n && x >= m_tabs[size_t(i + 1)].x) continue;
        return i;
    }
    return -1;
}

void CGUITabButtonRow::setRelativePosition(const SRecti& rectangle)
{
    IGUITabButtonRow::setRelativePosition(rectangle);
    layOutTabs();
}

int32_t CGUITabButtonRow::addTab(const zu::core::CString& caption, bool closable)
{
    const int32_t index = getTabCount();
    m_tabs.push_back({caption, closable, false, 0});
    if (m_active < 0) m_active = 0;
    layOutTabs();
    return index;
}

zu::core::CString CGUITabButtonRow::getTabCaption(int32_t index) const
{
    return valid(index) ? m_tabs[size_t(index)].caption : zu::core::CString();
}

bool CGUITabButtonRow::setActiveTab(int32_t index)
{
    if (!valid(index)) return false;
    m_active = index;
    layOutTabs();
    return true;
}

void CGUITabButtonRow::highlightTab(int32_t index, bool on)
{
    if (valid(index)) m_tabs[size_t(index)].highlighted = on;
}

void CGUITabButtonRow::setImages(zu::video::ISpritePackage* package,
                                 const zu::core::CString& prefix)
{
    m_images.load(package, prefix);
    m_closeMarks.load(package, "");
    const zu::core::SDimension2i tab = m_images.size(TAB_NORMAL);
    const zu::core::SDimension2i mark = m_closeMarks.size(0);
    m_closeOffset = {tab.width - mark.width - 2, (tab.height - mark.height) / 2};
    setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.right,
                         m_relativeRect.top + tab.height});
}

bool CGUITabButtonRow::onEvent(const SEngineEvent& event)
{
    if (event.type == GuiEvent && event.gui.eventType == GuiFocusLost)
    {
        m_hovered = -1;
        return true;
    }
    if (event.type != MouseEvent) return IGUITabButtonRow::onEvent(event);
    const SMouseEvent& mouse = event.mouse;
    const bool inside = isInside(m_absoluteRect, {mouse.x, mouse.y});
    const int32_t x = mouse.x - m_absoluteRect.left;
    switch (mouse.action)
    {
    case MouseMoved:
        m_hovered = inside ? tabAt(x) : -1;
        m_overClose = m_hovered >= 0 && x - m_tabs[size_t(m_hovered)].x > m_closeOffset.x;
        break;
    case LeftDown:
        if (inside) return true;
        break;
    case LeftUp:
    {
        int32_t i = inside ? tabAt(x) : -1;
        if (i < 0) break;
        const STab& tab = m_tabs[size_t(i)];
        if (i == m_active && tab.closable && x - tab.x > m_closeOffset.x)
        {
            // The handler may remove the row: it stays alive until done.
            grab();
            sendGUIEvent(GuiTabClosed, i);
            if (i < getTabCount()) m_tabs.erase(m_tabs.begin() + i);
            if (i >= getTabCount()) i = getTabCount() - 1;
            m_hovered = -1;
            m_active = i;
            layOutTabs();
            sendGUIEvent(GuiTabChanged);
            drop();
            return true;
        }
        m_active = i;
        layOutTabs();
        sendGUIEvent(GuiTabChanged);
        return true;
    }
    default:
        break;
    }
    return IGUITabButtonRow::onEvent(event);
}

void CGUITabButtonRow::drawTab(int32_t index)
{
    const STab& tab = m_tabs[size_t(index)];
    const zu::video::SPosition2i at = {m_absoluteRect.left + tab.x, m_absoluteRect.top};
    const bool hovered = index == m_hovered;
    m_images.draw(hovered ? TAB_HIGHLIGHTED : TAB_NORMAL, at, &m_clippingRect);
    if (hovered && index == m_active && tab.closable)
        m_closeMarks.draw(m_overClose ? 1 : 0, {at.x + m_closeOffset.x, at.y + m_closeOffset.y},
                          &m_clippingRect);
    if (!hovered) drawCaption(index);
}

void CGUITabButtonRow::drawCaption(int32_t index)
{
    if (!m_font) return;
    const STab& tab = m_tabs[size_t(index)];
    const int32_t left = m_absoluteRect.left + tab.x;
    const int32_t top = m_absoluteRect.top;
    const SRecti area = {left + 6, top, left + tabWidth() - 6,
                         top + m_images.size(TAB_NORMAL).height};
    if (index == m_hovered && index != m_active)
    {
        const int32_t width = m_font->getDimension(tab.caption).width;
        const int32_t x = area.left + (area.getWidth() - width) / 2;
        m_environment->getVideoDriver()->drawRectangle(
            0x80000000, {x - 1, area.top + 3, x + width + 1, area.bottom - 3}, &m_clippingRect);
    }
    m_font->draw(tab.caption, area, tab.highlighted ? m_highlightColor : m_textColor, EGUIA_CENTER,
                 EGUIA_CENTER, &m_clippingRect);
}

void CGUITabButtonRow::draw()
{
    if (!m_visible || !m_images.has(TOP)) return;
    if (!isInside(m_absoluteRect, m_environment->getLastMousePosition())) m_hovered = -1;
    if (!valid(m_hovered)) m_hovered = -1;
    const int32_t n = getTabCount();
    const int32_t active = valid(m_active) ? m_active : n;
    // The active tab last, so it lies on top of its neighbours.
    for (int32_t i = 0; i < active; ++i)
        drawTab(i);
    for (int32_t i = n - 1; i >= active; --i)
        drawTab(i);
    if (m_hovered >= 0) drawCaption(m_hovered);

    const SRecti& r = m_absoluteRect;
    const int32_t topHeight = m_images.size(TOP).height;
    if (valid(m_active))
    {
        const int32_t x = r.left + m_tabs[size_t(m_active)].x;
        m_images.tile(TOP, {r.left, r.bottom - topHeight, x, r.bottom}, true, &m_clippingRect);
        m_images.tile(TOP, {x + tabWidth(), r.bottom - topHeight, r.right, r.bottom}, true,
                      &m_clippingRect);
    }
    else
        m_images.tile(TOP, {r.left, r.bottom - topHeight, r.right, r.bottom}, true,
                      &m_clippingRect);
    if (m_parent && m_images.has(TOP_INNER))
    {
        const SRecti& p = m_parent->getAbsolutePosition();
        const SRecti& parentClip = m_parent->getAbsoluteClippingRect();
        m_images.tile(TOP_INNER,
                      {p.left, r.bottom, p.right, r.bottom + m_images.size(TOP_INNER).height}, true,
                      &parentClip);
    }
    IGUITabButtonRow::draw();
}

} // namespace kelvo::gui
