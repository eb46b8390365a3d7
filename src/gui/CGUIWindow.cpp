#include "gui/CGUIWindow.h"

#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

CGUIWindow::CGUIWindow(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                       int32_t id, const zu::video::SRecti& rectangle, bool isFrame)
    : IGUIWindow(zu::gui::EGUIET_WINDOW, environment, parent, id, rectangle), m_isFrame(isFrame)
{
    setDebugName("CGUIWindow");
}

void CGUIWindow::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    zu::gui::IGUISkin* skin = m_environment->getSkin();
    const zu::video::SRecti& r = m_absoluteRect;
    const zu::video::SRecti* clip = &m_clippingRect;
    auto fill = [&](int32_t color, zu::video::SRecti rect)
    { driver->drawRectangle(skin->getColor(color), rect, clip); };
    fill(3, {r.left, r.top, r.right, r.top + 1});
    fill(3, {r.left, r.top, r.left + 1, r.bottom});
    fill(0, {r.right - 1, r.top, r.right, r.bottom});
    fill(1, {r.right - 2, r.top + 1, r.right - 1, r.bottom - 1});
    fill(0, {r.left, r.bottom - 1, r.right, r.bottom});
    fill(1, {r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1});
    fill(2, {r.left + 1, r.top + 1, r.right - 2, r.bottom - 2});
    const int32_t button = skin->getSize(2);
    const zu::video::SRecti title = {r.left + 2, r.top + 2, r.right - 2, r.top + 2 + button + 2};
    fill(5, title);
    zu::gui::IGUIFont* font = skin->getFont();
    if (!m_isFrame && !m_text.empty() && font)
    {
        const zu::video::SRecti caption = {title.left + 2, title.top, title.right - button - 5,
                                           title.bottom};
        const zu::video::SRecti captionClip = zu::gui::intersect(caption, m_clippingRect);
        font->draw(m_text, caption, skin->getColor(6), zu::gui::EGUIA_UPPERLEFT,
                   zu::gui::EGUIA_CENTER, &captionClip);
    }
    IGUIWindow::draw();
}

} // namespace kelvo::gui
