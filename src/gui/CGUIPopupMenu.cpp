#include "gui/CGUIPopupMenu.h"

#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUIStaticText.h"
#include "gui/IGUIWindow.h"

#include <iterator>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

SRecti parentArea(const IGUIElement* parent)
{
    if (!parent) return {};
    const SRecti& r = parent->getRelativePosition();
    return {0, 0, r.getWidth(), r.getHeight()};
}

} // namespace

CGUIPopupMenu::CGUIPopupMenu(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                             zu::video::SPosition2i position, int32_t width,
                             const zu::core::CString& title, IGUIFont* titleFont,
                             IGUIFont* itemFont)
    : IGUIPopupMenu(EGUIET_ELEMENT, environment, parent, id, parentArea(parent)),
      m_itemWidth(width), m_itemFont(itemFont)
{
    setDebugName("CGUIPopupMenu");
    m_frame = environment->addFrame({position.x, position.y, position.x + width, position.y + 40},
                                    this, -1);
    m_frame->grab();
    if (titleFont && !title.empty())
    {
        const zu::core::SDimension2i size = titleFont->getDimension(title);
        IGUIStaticText* label = environment->addStaticText(title, {0, 0, size.width, size.height},
                                                           false, false, m_frame, -1, "");
        label->setOverrideFont(titleFont);
        m_hasTitle = true;
    }
    m_frame->sortVertically(1, true);
}

CGUIPopupMenu::~CGUIPopupMenu()
{
    zu::dropAndClear(m_frame);
}

IGUIElement* CGUIPopupMenu::getItemFrame() const
{
    return m_frame;
}

void CGUIPopupMenu::addItem(const zu::core::CString& text, int32_t commandId)
{
    if (!m_itemFont || !m_frame) return;
    const int32_t height = m_itemFont->getDimension(text).height;
    IGUIStaticText* label = m_environment->addStaticText(text, {0, 0, m_itemWidth - 2, height},
                                                         false, false, m_frame, commandId, "");
    label->setOverrideFont(m_itemFont);
    m_frame->sortVertically(1, true);
}

IGUIElement* CGUIPopupMenu::entry(int32_t index) const
{
    const IGUIElement::ChildList& children = m_frame->getChildren();
    const int32_t first = m_hasTitle ? 1 : 0;
    if (index < 0 || first + index >= int32_t(children.size())) return nullptr;
    return *std::next(children.begin(), first + index);
}

int32_t CGUIPopupMenu::entryAt(zu::video::SPosition2i point) const
{
    for (int32_t i = 0; IGUIElement* e = entry(i); ++i)
        if (isInside(e->getAbsolutePosition(), point)) return i;
    return -1;
}

void CGUIPopupMenu::report(IGUIElement* caller, GUIEventType type)
{
    IGUIElement* owner = getOwner();
    if (!owner) return;
    // The owner may remove itself, or the popup, while it handles this.
    grab();
    caller->grab();
    owner->grab();
    owner->onEvent(SEngineEvent::makeGui(caller, type));
    owner->drop();
    caller->drop();
    drop();
}

void CGUIPopupMenu::close()
{
    if (m_closed) return;
    grab();
    report(this, GuiPopupClosed);
    remove();
    drop();
}

void CGUIPopupMenu::remove()
{
    m_closed = true;
    m_owner = nullptr;
    grab();
    IGUIPopupMenu::remove();
    drop();
}

bool CGUIPopupMenu::onEvent(const SEngineEvent& event)
{
    if (!m_enabled || event.type != MouseEvent || !m_frame) return IGUIPopupMenu::onEvent(event);
    const zu::video::SPosition2i point = {event.mouse.x, event.mouse.y};
    const MouseAction action = event.mouse.action;
    if (isInside(m_frame->getAbsolutePosition(), point))
    {
        if (action == MouseMoved) m_hovered = entryAt(point);
        if (action == LeftUp && m_hovered >= 0)
        {
            grab();
            if (IGUIElement* chosen = entry(m_hovered)) report(chosen, GuiPopupClicked);
            close();
            drop();
        }
        return true;
    }
    if (action <= Extra2Down)
    {
        close();
        return false;
    }
    m_hovered = -1;
    return IGUIPopupMenu::onEvent(event);
}

void CGUIPopupMenu::draw()
{
    if (!m_visible) return;
    IGUIPopupMenu::draw();
    if (IGUIElement* hovered = entry(m_hovered))
        drawSelectionHighlight(m_environment->getVideoDriver(), m_environment->getSkin(),
                               hovered->getAbsolutePosition(), &m_frame->getAbsoluteClippingRect());
}

} // namespace kelvo::gui
