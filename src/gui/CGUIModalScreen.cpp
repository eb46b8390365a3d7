#include "gui/CGUIModalScreen.h"

#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

namespace
{

zu::video::SRecti parentArea(const IGUIElement* parent)
{
    if (!parent) return {};
    const zu::video::SRecti& r = parent->getRelativePosition();
    return {0, 0, r.getWidth(), r.getHeight()};
}

} // namespace

CGUIModalScreen::CGUIModalScreen(IGUIEnvironment* environment, IGUIElement* parent, int32_t id)
    : IGUIModalScreen(EGUIET_LAYOUT, environment, parent, id, parentArea(parent))
{
    setDebugName("CGUIModalScreen");
}

void CGUIModalScreen::updateAbsolutePosition()
{
    if (m_parent) setRelativeRect(parentArea(m_parent));
    IGUIModalScreen::updateAbsolutePosition();
}

bool CGUIModalScreen::onEvent(const SEngineEvent& event)
{
    if (event.type == MouseEvent || event.type == KeyEvent)
    {
        m_lastEvent = event;
        return true;
    }
    // A modal window closed by its close button is only hidden: with nothing
    // of its own left to show, the screen goes too, or it would take every
    // click and key for good.
    if (event.type == GuiEvent && event.gui.eventType == GuiHidden && event.gui.caller &&
        event.gui.caller->getParent() == this && !hasVisibleChild())
        setVisible(false);
    if (event.type == GuiEvent && event.gui.eventType == GuiModalInput && event.gui.caller == this)
    {
        if (m_eventHook && m_eventHook->onEvent(event)) return true;
        return sendGUIEvent(GuiModalInput);
    }
    return IGUIModalScreen::onEvent(event);
}

bool CGUIModalScreen::hasVisibleChild() const
{
    for (const IGUIElement* child : getChildren())
        if (child->isVisible()) return true;
    return false;
}

void CGUIModalScreen::draw()
{
    if (!m_visible) return;
    if (m_parent)
        m_environment->getVideoDriver()->drawRectangle(m_environment->getSkin()->getColor(17),
                                                       m_parent->getAbsolutePosition(), nullptr);
    IGUIModalScreen::draw();
}

} // namespace kelvo::gui
