#include "gui/CGUITab.h"

#include "gui/IGUIEnvironment.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

CGUITab::CGUITab(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                 const zu::video::SRecti& rectangle, int32_t number)
    : IGUITab(zu::gui::EGUIET_LAYOUT, environment, parent, id, rectangle), m_number(number)
{
    setDebugName("CGUITab");
}

void CGUITab::draw()
{
    if (!m_visible) return;
    if (m_drawBackground)
        m_environment->getVideoDriver()->drawRectangle(m_backgroundColor, m_absoluteRect,
                                                       &m_clippingRect);
    IGUITab::draw();
}

} // namespace kelvo::gui
