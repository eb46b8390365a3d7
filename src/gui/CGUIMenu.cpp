#include "gui/CGUIMenu.h"

#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"

namespace kelvo::gui
{

namespace
{

zu::video::SRecti topStrip(zu::gui::IGUIElement* parent)
{
    return {0, 0, parent ? parent->getRelativePosition().getWidth() : 0, 10};
}

} // namespace

CGUIMenu::CGUIMenu(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id)
    : CGUIContextMenu(environment, parent, id, topStrip(parent))
{
    setDebugName("CGUIMenu");
    layOutItems();
}

void CGUIMenu::layOutItems()
{
    zu::gui::IGUIFont* font = m_environment->getSkin()->getFont();
    const int32_t height = lineHeight() + 2;
    int32_t x = 3;
    for (SItem& item : m_items)
    {
        const int32_t width =
            item.separator ? 6 : (font ? font->getDimension(item.text).width : 0) + 24;
        item.rect = {x, 1, x + width, 1 + height};
        x += width;
    }
    const zu::video::SRecti& r = m_relativeRect;
    setRelativePosition({r.left, r.top, r.right, r.top + height + 2});
}

zu::video::SPosition2i CGUIMenu::subMenuPosition(int32_t index) const
{
    const zu::video::SRecti& item = m_items[size_t(index)].rect;
    return {m_absoluteRect.left + item.left, m_absoluteRect.bottom};
}

} // namespace kelvo::gui
