// CGUIContextMenu: the context menu, a raised column of items; a choice
// hides it. The menu bar derives from it and lays its items out in a row.
#pragma once

#include "gui/IGUIContextMenu.h"

#include <vector>

namespace kelvo::gui
{

class CGUIContextMenu : public zu::gui::IGUIContextMenu
{
  public:
    CGUIContextMenu(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                    const zu::video::SRecti& rectangle);
    ~CGUIContextMenu() override;

    // The sub-menus live at the top of the tree and go with their menu.
    void remove() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;

    int32_t addItem(const zu::core::CString& text, int32_t commandId, bool enabled,
                    bool hasSubMenu) override;
    void addSeparator() override;
    int32_t getItemCount() const override { return int32_t(m_items.size()); }
    zu::core::CString getItemText(int32_t index) const override;
    int32_t getItemCommandId(int32_t index) const override;
    void setItemEnabled(int32_t index, bool enabled) override;
    zu::gui::IGUIContextMenu* getSubMenu(int32_t index) const override;
    int32_t getSelectedItem() const override { return m_selected; }
    int32_t getHighlightedItem() const override { return m_highlighted; }

    // An item's rectangle, relative to the menu.
    zu::video::SRecti getItemRect(int32_t index) const;

  protected:
    struct SItem
    {
        zu::core::CString text;
        bool separator;
        bool enabled;
        int32_t commandId;
        CGUIContextMenu* subMenu; // grabbed
        zu::video::SRecti rect;
    };

    // Places the items and sizes the menu around them.
    virtual void layOutItems();
    // Where an item's sub-menu opens, in absolute pixels.
    virtual zu::video::SPosition2i subMenuPosition(int32_t index) const;
    // A choice hides a context menu; the menu bar stays.
    virtual void closeAfterChoice();
    // A context menu opens sub-menus under the mouse; the menu bar only
    // once one is open.
    virtual bool opensOnHover() const { return true; }
    int32_t itemAt(zu::video::SPosition2i point) const;
    // Shows the item's sub-menu (when it has one) and hides the others.
    void highlight(int32_t index);
    bool anySubMenuOpen() const;
    int32_t lineHeight() const;

    std::vector<SItem> m_items;
    int32_t m_highlighted = -1;
    int32_t m_selected = -1;
    // The menu a sub-menu reports its choice to; null for the others.
    CGUIContextMenu* m_ownerMenu = nullptr;

  private:
    void removeSubMenus();
};

} // namespace kelvo::gui
