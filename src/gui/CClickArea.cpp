#include "gui/CClickArea.h"

namespace kelvo::gui
{

using namespace zu::event;

CClickArea::CClickArea(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                       int32_t id, const zu::video::SRecti& rectangle)
    : IGUILayout(zu::gui::EGUIET_CLICK_AREA, environment, parent, id, rectangle)
{
    setDebugName("CClickArea");
}

bool CClickArea::onEvent(const SEngineEvent& event)
{
    if (event.type == MouseEvent)
    {
        GUIEventType report;
        switch (event.mouse.action)
        {
        case LeftDown:
            report = GuiLeftPressed;
            break;
        case RightDown:
            report = GuiRightPressed;
            break;
        case MiddleDown:
            report = GuiMiddlePressed;
            break;
        case LeftUp:
            report = GuiLeftReleased;
            break;
        case RightUp:
            report = GuiRightReleased;
            break;
        case MiddleUp:
            report = GuiMiddleReleased;
            break;
        default:
            return IGUILayout::onEvent(event);
        }
        if (!m_parent) return false;
        sendGUIEvent(report);
        return true;
    }
    return IGUILayout::onEvent(event);
}

} // namespace kelvo::gui
