#include "gui/CGUIToolBar.h"

#include "gui/IGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace kelvo::gui
{

namespace
{

// Below the lowest tool bar already at the top of the parent.
zu::video::SRecti stripBelowOthers(zu::gui::IGUIElement* parent)
{
    if (!parent) return {0, 0, 0, CGUIToolBar::HEIGHT};
    int32_t y = 0;
    for (const zu::gui::IGUIElement* child : parent->getChildren())
        if (dynamic_cast<const CGUIToolBar*>(child))
            y = std::max(y, child->getRelativePosition().bottom);
    return {0, y, parent->getRelativePosition().getWidth(), y + CGUIToolBar::HEIGHT};
}

} // namespace

CGUIToolBar::CGUIToolBar(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                         int32_t id)
    : IGUIToolBar(zu::gui::EGUIET_ELEMENT, environment, nullptr, id, stripBelowOthers(parent))
{
    setDebugName("CGUIToolBar");
    // Placed before it joins the parent, so that it does not count itself.
    if (parent) parent->addChild(this);
}

zu::gui::IGUIButton* CGUIToolBar::addButton(int32_t id, const zu::core::CString& caption,
                                            const zu::core::CString& toolTip, bool pushButton)
{
    const int32_t x = m_nextX;
    m_nextX += 26;
    zu::gui::IGUIButton* button =
        m_environment->addButton({x + 3, 2, x + 26, 24}, this, id, caption);
    button->setRelativePosition({x + 3, 2, x + 26, 24});
    if (pushButton) button->setIsPushButton(true);
    if (!toolTip.empty()) m_environment->addToolTip(button, toolTip);
    return button;
}

void CGUIToolBar::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    zu::gui::IGUISkin* skin = m_environment->getSkin();
    const zu::video::SRecti& r = m_absoluteRect;
    driver->drawRectangle(skin->getColor(2), {r.left, r.top, r.right, r.bottom - 1},
                          &m_clippingRect);
    driver->drawRectangle(skin->getColor(1), {r.left, r.bottom - 1, r.right, r.bottom},
                          &m_clippingRect);
    IGUIToolBar::draw();
}

} // namespace kelvo::gui
