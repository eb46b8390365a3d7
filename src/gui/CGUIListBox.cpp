#include "gui/CGUIListBox.h"

#include "gui/BreakText.h"
#include "gui/CGUIScrollBar.h"
#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUILayout.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "gui/IGUIWindow.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

// Room the item layout and the bar leave in the outer box: 2 pixels above
// and below, 4 to the right.
constexpr int32_t INSET = 4;

int32_t barWidth(IGUIEnvironment* environment)
{
    return environment->getSkin()->getSize(0);
}

} // namespace

CGUIListBox::CGUIListBox(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                         const SRecti& rectangle, bool border, bool selectByHover)
    : IGUIListBox(EGUIET_LIST_BOX, environment, parent, id, rectangle),
      m_selectByHover(selectByHover), m_border(border), m_owner(parent)
{
    setDebugName("CGUIListBox");
    setNoClip(true);
    const SRecti local = {0, 0, rectangle.getWidth(), rectangle.getHeight()};
    if (border)
        m_outer = environment->addFrame(local, this, -1);
    else
    {
        m_outer = environment->addLayout(local, this);
        m_outer->setNoClip(false);
    }
    m_outer->grab();
    const SRecti content = m_outer->getContentArea();
    const int32_t bar = barWidth(environment);
    m_items = environment->addLayout(
        {0, 0, content.getWidth() - bar - INSET, content.getHeight() - INSET}, m_outer);
    m_items->grab();
    m_scrollBar = new CGUIScrollBar(environment, m_outer, -1,
                                    {0, 0, bar, content.getHeight() - INSET}, false);
    arrange();
    m_scrollBar->setPos(0);
    updateScrollBar();
}

CGUIListBox::~CGUIListBox()
{
    zu::dropAndClear(m_scrollBar);
    zu::dropAndClear(m_items);
    zu::dropAndClear(m_outer);
}

void CGUIListBox::arrange()
{
    m_outer->sortHorizontally(0);
    const SRecti& placed = m_items->getRelativePosition();
    m_scrollOrigin = {placed.left, placed.top};
}

void CGUIListBox::setRelativePosition(const SRecti& rectangle)
{
    IGUIListBox::setRelativePosition(rectangle);
    // The parts do not exist yet while the list is being made.
    if (!m_scrollBar) return;
    m_outer->setRelativePosition({0, 0, rectangle.getWidth(), rectangle.getHeight()});
    const SRecti content = m_outer->getContentArea();
    const int32_t bar = barWidth(m_environment);
    m_items->setRelativePosition(
        {0, 0, content.getWidth() - bar - INSET, content.getHeight() - INSET});
    m_scrollBar->setRelativePosition({0, 0, bar, content.getHeight() - INSET});
    arrange();
    refresh(false);
}

int32_t CGUIListBox::getItemCount() const
{
    return int32_t(m_items->getChildren().size());
}

IGUIElement* CGUIListBox::getListItem(int32_t index) const
{
    if (index < 0 || index >= getItemCount()) return nullptr;
    auto it = m_items->getChildren().begin();
    std::advance(it, index);
    return *it;
}

IGUIScrollBar* CGUIListBox::getScrollBar() const
{
    return m_scrollBar;
}

int32_t CGUIListBox::emptyItemHeight() const
{
    return m_outer->getContentArea().getHeight() - INSET;
}

void CGUIListBox::shrinkItemLayout()
{
    SRecti r = m_items->getRelativePosition();
    r.bottom = r.top + emptyItemHeight();
    m_items->setRelativePosition(r);
}

void CGUIListBox::followScrollBar()
{
    m_items->moveTo(m_scrollOrigin.x, m_scrollOrigin.y - m_scrollBar->getPos());
}

void CGUIListBox::updateScrollBar()
{
    const int32_t contentHeight = m_items->getRelativePosition().getHeight();
    m_scrollBar->setMax(contentHeight - m_outer->getContentArea().getHeight() + 2);
    const int32_t count = getItemCount();
    if (count <= 0) return;
    const int32_t step = contentHeight / count;
    const int64_t large = std::min<int64_t>(int64_t(step) * 5, std::numeric_limits<int32_t>::max());
    m_scrollBar->setSteps(step, int32_t(large));
}

void CGUIListBox::refresh(bool scrollToEnd)
{
    // Stacking only ever grows the layout; starting from its empty height
    // lets it shrink again after items went.
    shrinkItemLayout();
    m_items->sortVertically(m_spacing, false);
    updateScrollBar();
    if (scrollToEnd && m_scrollBar->getMax() > 0 && !m_scrollBar->isDragging())
        m_scrollBar->setPos(m_scrollBar->getMax());
    followScrollBar();
}

IGUIStaticText* CGUIListBox::addItem(const zu::core::CString& text, IGUIFont* font, uint32_t color,
                                     bool scrollToEnd, bool wrap)
{
    if (!font) font = m_environment->getSkin()->getFont();
    if (!font) return nullptr;
    const int32_t width = m_items->getContentArea().getWidth() - ITEM_MARGIN;
    const int32_t lineHeight = font->getDimension("A").height;
    int32_t height = lineHeight;
    if (wrap)
    {
        std::vector<zu::core::CString> lines;
        breakText(text, m_wrapPrefix, font, width, lines);
        height = int32_t(lines.size()) * lineHeight;
    }
    IGUIStaticText* item = m_environment->addStaticText(text, {0, 0, width, height}, false, wrap,
                                                        m_items, -1, m_wrapPrefix);
    item->setOverrideColor(color);
    item->setOverrideFont(font);
    if (scrollToEnd) refresh(true);
    return item;
}

void CGUIListBox::clear()
{
    m_items->removeAllChildren();
    m_dragging = false;
    m_selected = m_lastSelected = -1;
    m_scrollBar->setPos(0);
    shrinkItemLayout();
    updateScrollBar();
    followScrollBar();
}

void CGUIListBox::setSelectable(bool on)
{
    m_selectable = on;
    if (!on)
        setSelected(-1);
    else if (getSelected() < 0 && getItemCount() > 0)
        setSelected(0);
}

int32_t CGUIListBox::getSelected() const
{
    // Items taken out of the layout behind the list's back leave no stale
    // index.
    return m_selected < getItemCount() ? m_selected : -1;
}

void CGUIListBox::setSelected(int32_t index)
{
    const bool valid = m_selectable && index >= 0 && index < getItemCount();
    m_selected = m_lastSelected = valid ? index : -1;
}

void CGUIListBox::removeItem(int32_t index)
{
    if (IGUIElement* item = getListItem(index))
    {
        item->remove();
        // The indexes follow their items down; a removed item is no choice.
        for (int32_t* chosen : {&m_selected, &m_lastSelected})
        {
            if (*chosen == index)
                *chosen = -1;
            else if (*chosen > index)
                --*chosen;
        }
    }
    refresh(false);
}

void CGUIListBox::selectAt(zu::video::SPosition2i point, bool quiet, int32_t clicks)
{
    if (!m_selectable) return;
    IGUIElement* hit = m_items->getElementFromPoint(point);
    if (!hit || hit == m_items) return;
    while (hit->getParent() != m_items)
        hit = hit->getParent();
    const auto& items = m_items->getChildren();
    const int32_t index =
        int32_t(std::distance(items.begin(), std::find(items.begin(), items.end(), hit)));
    m_selected = index;
    if (quiet || !m_owner) return;
    const bool again = index == m_lastSelected;
    m_doubleClick = again && clicks > 1;
    m_lastSelected = index;
    // The owner may clear the list, or remove it, while it handles this.
    IGUIElement* owner = m_owner;
    grab();
    owner->grab();
    owner->onEvent(
        SEngineEvent::makeGui(this, again ? GuiListBoxSelectedAgain : GuiListBoxChanged));
    owner->drop();
    drop();
}

bool CGUIListBox::onEvent(const SEngineEvent& event)
{
    // A disabled list takes no part in what the user does.
    if (!m_enabled) return IGUIListBox::onEvent(event);
    if (event.type == GuiEvent)
    {
        if (event.gui.eventType == GuiFocusLost)
        {
            m_dragging = false;
            // A drop-down tells its owner, which closes it unless the press
            // that took the focus landed on the owner itself.
            if (m_owner && m_owner != m_parent)
            {
                IGUIElement* owner = m_owner;
                grab();
                owner->grab();
                owner->onEvent(SEngineEvent::makeGui(this, GuiFocusLost));
                owner->drop();
                drop();
            }
            return true;
        }
        // The bar moved: the next frame draws the items where it says.
        if (event.gui.eventType == GuiScrollBarMoved && event.gui.caller == m_scrollBar)
        {
            followScrollBar();
            return true;
        }
    }
    else if (event.type == MouseEvent && onMouse(event))
        return true;
    return IGUIListBox::onEvent(event);
}

bool CGUIListBox::onMouse(const SEngineEvent& event)
{
    const SMouseEvent& mouse = event.mouse;
    const zu::video::SPosition2i point = {mouse.x, mouse.y};
    const bool inside = isInside(m_absoluteRect, point);
    switch (mouse.action)
    {
    case LeftDown:
        // While the list keeps the focus (a drop-down does) its bar still
        // works.
        if (m_environment->hasFocus(this) && isInside(m_scrollBar->getAbsolutePosition(), point))
        {
            m_scrollBar->grab();
            const bool taken = m_scrollBar->onEvent(event);
            m_scrollBar->drop();
            if (taken) return true;
        }
        if (!inside || !m_selectable) return false;
        m_dragging = true;
        m_environment->setFocus(this);
        return true;
    case LeftUp:
        if (!m_selectable) return false;
        m_dragging = false;
        if (m_owner == m_parent) m_environment->removeFocus(this);
        selectAt(point, false, mouse.clicks);
        return true;
    case MouseMoved:
        if ((!m_dragging && !m_selectByHover) || !inside) return false;
        selectAt(point, true, 0);
        return true;
    case MouseWheel:
    {
        if (!inside) return false;
        const int64_t pos =
            int64_t(m_scrollBar->getPos()) + CGUIScrollBar::wheelDistance(mouse.wheel);
        m_scrollBar->setPos(int32_t(std::clamp(pos, int64_t(0), int64_t(m_scrollBar->getMax()))));
        followScrollBar();
        return true;
    }
    default:
        return false;
    }
}

void CGUIListBox::draw()
{
    if (!m_visible) return;
    // The bar may have been moved from outside since.
    followScrollBar();
    // A plain outer box draws nothing of its own: the items and the bar are
    // all there is.
    IGUIListBox::draw();
    IGUIElement* item = getListItem(getSelected());
    if (!item) return;
    const SRecti& r = item->getAbsolutePosition();
    const SRecti visible = intersect(r, m_items->getAbsoluteClippingRect());
    if (visible.left >= visible.right || visible.top >= visible.bottom) return;
    drawSelectionHighlight(m_environment->getVideoDriver(), m_environment->getSkin(), r, &visible);
}

} // namespace kelvo::gui
