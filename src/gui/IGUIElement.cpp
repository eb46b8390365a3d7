#include "gui/IGUIElement.h"

#include "core/ITimer.h"
#include "core/Output.h"
#include "gui/IGUIEnvironment.h"

#include <algorithm>

namespace zu::gui
{

IGUIElement::IGUIElement(EGUIElementType type, IGUIEnvironment* environment, IGUIElement* parent,
                         int32_t id, const video::SRecti& rectangle)
    : m_relativeRect(rectangle), m_absoluteRect(rectangle), m_clippingRect(rectangle), m_id(id),
      m_type(type), m_environment(environment)
{
    updateAbsolutePosition();
    if (parent) parent->addChild(this);
}

IGUIElement::~IGUIElement()
{
    if (m_destructionNotice) *m_destructionNotice = nullptr;
    for (IGUIElement* child : m_children)
    {
        child->m_parent = nullptr;
        child->drop();
    }
    m_children.clear();
    if (m_toolTip)
    {
        m_toolTip->remove();
        zu::dropAndClear(m_toolTip);
    }
}

void IGUIElement::setRelativePosition(const video::SRecti& rectangle)
{
    if (rectangle.getWidth() != m_relativeRect.getWidth() ||
        rectangle.getHeight() != m_relativeRect.getHeight())
        m_sizeChanged = true;
    m_relativeRect = rectangle;
    updateAbsolutePosition();
}

video::SRecti IGUIElement::getChildClippingRect(bool fixed) const
{
    if (m_noClip && m_parent) return m_parent->getChildClippingRect(fixed);
    return m_clippingRect;
}

void IGUIElement::updateAbsolutePosition()
{
    const video::SPosition2i origin =
        m_parent ? video::SPosition2i{m_parent->m_absoluteRect.left, m_parent->m_absoluteRect.top}
                 : video::SPosition2i{};
    m_absoluteRect = {m_relativeRect.left + origin.x, m_relativeRect.top + origin.y,
                      m_relativeRect.right + origin.x, m_relativeRect.bottom + origin.y};
    m_clippingRect = m_absoluteRect;
    if (m_parent && !m_unclipped)
        m_clippingRect = intersect(m_clippingRect, m_parent->getChildClippingRect(m_fixed));
    for (IGUIElement* child : m_children)
        child->updateAbsolutePosition();
}

void IGUIElement::addChild(IGUIElement* child)
{
    if (!child || child == this) return;
    // Grab first: the old parent may hold the only reference.
    child->grab();
    if (child->m_parent) child->m_parent->removeChild(child);
    m_children.push_back(child);
    child->m_parent = this;
    child->updateAbsolutePosition();
}

void IGUIElement::removeChild(IGUIElement* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return;
    m_children.erase(it);
    child->m_parent = nullptr;
    child->drop();
}

void IGUIElement::removeAllChildren()
{
    // The list is taken first: a child's removal may reach back into this
    // element.
    ChildList children;
    children.swap(m_children);
    for (IGUIElement* child : children)
    {
        child->m_parent = nullptr;
        child->remove();
        child->drop();
    }
}

void IGUIElement::remove()
{
    // Whoever called this may hold no reference of its own.
    grab();
    if (m_environment && m_environment->hasFocus(this)) m_environment->removeFocus(this);
    removeAllChildren();
    if (m_parent) m_parent->removeChild(this);
    drop();
}

void IGUIElement::draw()
{
    if (!m_visible) return;
    if (m_reportOnDraw == EGUIDR_BEFORE_CHILDREN)
        sendToSelf(event::SEngineEvent::makeGui(this, event::GuiDrawReport));
    for (IGUIElement* child : m_children)
        if (!child->m_fixed || overlaps(child->m_absoluteRect, child->m_clippingRect))
            child->draw();
    if (m_reportOnDraw == EGUIDR_AFTER_CHILDREN)
        sendToSelf(event::SEngineEvent::makeGui(this, event::GuiDrawReport));
}

void IGUIElement::move(int32_t dx, int32_t dy)
{
    m_relativeRect = {m_relativeRect.left + dx, m_relativeRect.top + dy, m_relativeRect.right + dx,
                      m_relativeRect.bottom + dy};
    updateAbsolutePosition();
}

void IGUIElement::moveTo(int32_t x, int32_t y)
{
    setRelativePosition({x, y, x + m_relativeRect.getWidth(), y + m_relativeRect.getHeight()});
}

void IGUIElement::centerInRect(const video::SRecti& rectangle)
{
    moveTo((rectangle.getWidth() - m_relativeRect.getWidth()) / 2,
           (rectangle.getHeight() - m_relativeRect.getHeight()) / 2);
}

void IGUIElement::centerOnParent()
{
    // A script can ask this of a detached element: that is no reason to stop.
    if (!m_parent)
    {
        core::zuLogText("centerOnParent: the element has no parent", core::ELL_WARNING);
        return;
    }
    centerInRect(m_parent->m_relativeRect);
}

void IGUIElement::setEnabled(bool enabled)
{
    m_enabled = enabled;
    for (IGUIElement* child : m_children)
        child->setEnabled(enabled);
}

void IGUIElement::setReportOnDraw(int32_t mode)
{
    if (mode >= EGUIDR_NONE && mode <= EGUIDR_AFTER_CHILDREN) m_reportOnDraw = mode;
}

bool IGUIElement::offerKeyEvent(const event::SEngineEvent& event)
{
    for (IGUIElement* child : m_children)
    {
        child->grab();
        const bool taken = child->offerKeyEvent(event);
        child->drop();
        // The list may have changed while the child had the event.
        if (taken) return true;
    }
    return false;
}

bool IGUIElement::bringToFront(IGUIElement* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return false;
    m_children.splice(m_children.end(), m_children, it);
    return true;
}

IGUIElement* IGUIElement::getElementFromId(int32_t id, bool searchChildren) const
{
    for (IGUIElement* child : m_children)
    {
        if (child->m_id == id) return child;
        if (searchChildren)
            if (IGUIElement* found = child->getElementFromId(id, true)) return found;
    }
    return nullptr;
}

IGUIElement* IGUIElement::getElementFromPoint(video::SPosition2i point)
{
    if (!isInside(m_clippingRect, point)) return nullptr;
    if (!m_visible) return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
        if (IGUIElement* hit = (*it)->getElementFromPoint(point)) return hit;
    return isInside(m_absoluteRect, point) ? this : nullptr;
}

void IGUIElement::setToolTip(IGUIElement* frame)
{
    if (frame == m_toolTip) return;
    if (frame) frame->grab();
    if (m_toolTip)
    {
        m_toolTip->remove();
        m_toolTip->drop();
    }
    m_toolTip = frame;
    if (!frame) return;
    frame->setVisible(false);
    frame->setFixed(true);
    frame->setUnclipped(true);
    frame->updateAbsolutePosition();
}

core::SDimension2i IGUIElement::getPreferredSize() const
{
    return {m_relativeRect.getWidth(), m_relativeRect.getHeight()};
}

bool IGUIElement::hasBeenResized()
{
    const bool changed = m_sizeChanged;
    m_sizeChanged = false;
    return changed;
}

bool IGUIElement::onEvent(const event::SEngineEvent& event)
{
    if (m_eventHook && m_eventHook->onEvent(event)) return true;
    if (!m_parent) return true;
    IGUIElement* parent = m_parent;
    parent->grab();
    const bool consumed = parent->onEvent(event);
    parent->drop();
    return consumed;
}

bool IGUIElement::sendGUIEvent(event::GUIEventType type, int32_t value)
{
    if (!m_parent) return false;
    IGUIElement* parent = m_parent;
    grab();
    parent->grab();
    const bool consumed = parent->onEvent(event::SEngineEvent::makeGui(this, type, value));
    parent->drop();
    drop();
    return consumed;
}

bool IGUIElement::sendToSelf(const event::SEngineEvent& event)
{
    grab();
    const bool consumed = onEvent(event);
    drop();
    return consumed;
}

uint32_t IGUIElement::getTime() const
{
    ITimer* timer = m_environment ? m_environment->getTimer() : nullptr;
    return timer ? timer->getRealTime() : 0;
}

} // namespace zu::gui
