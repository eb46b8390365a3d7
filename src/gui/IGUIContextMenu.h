// IGUIContextMenu: a list of commands with separators and sub-menus: a
// context menu pops up as a column, a menu runs across the top of its
// parent with its sub-menus dropping down. Choosing an enabled command
// reports event 23 to the parent; native code only.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIContextMenu : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Returns the new item's index.
    virtual int32_t addItem(const core::CString& text, int32_t commandId = -1, bool enabled = true,
                            bool hasSubMenu = false) = 0;
    virtual void addSeparator() = 0;
    virtual int32_t getItemCount() const = 0;
    // The empty text out of range.
    virtual core::CString getItemText(int32_t index) const = 0;
    // -1 out of range.
    virtual int32_t getItemCommandId(int32_t index) const = 0;
    virtual void setItemEnabled(int32_t index, bool enabled) = 0;
    // Null without one.
    virtual IGUIContextMenu* getSubMenu(int32_t index) const = 0;
    // The item chosen last, -1 for none.
    virtual int32_t getSelectedItem() const = 0;
    virtual int32_t getHighlightedItem() const = 0;
};

} // namespace zu::gui
