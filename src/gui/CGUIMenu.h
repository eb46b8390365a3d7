// CGUIMenu: the menu bar: the items in a row across the top of the parent,
// each item's sub-menu dropping down below it.
#pragma once

#include "gui/CGUIContextMenu.h"

namespace kelvo::gui
{

class CGUIMenu : public CGUIContextMenu
{
  public:
    CGUIMenu(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id);

  protected:
    void layOutItems() override;
    zu::video::SPosition2i subMenuPosition(int32_t index) const override;
    void closeAfterChoice() override {}
    bool opensOnHover() const override { return false; }
};

} // namespace kelvo::gui
