// CGUIListBox: the list box, built from other elements: an outer box (a
// frame when bordered, else a plain layout) covering the list, and inside its
// content area the item layout, whose children are the items, beside the
// scroll bar. Scrolling moves the item layout up from where it was placed.
#pragma once

#include "gui/IGUIListBox.h"

namespace zu::gui
{
class IGUILayout;
}

namespace kelvo::gui
{

class CGUIScrollBar;

class CGUIListBox : public zu::gui::IGUIListBox
{
  public:
    // Items are this much narrower than the item layout.
    static constexpr int32_t ITEM_MARGIN = 8;

    // With selectByHover (a combo box's drop-down) moving over an item
    // chooses it. The parent becomes the owner.
    CGUIListBox(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                const zu::video::SRecti& rectangle, bool border, bool selectByHover);
    ~CGUIListBox() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    // Lays the outer box, the items and the bar out for the new size.
    void setRelativePosition(const zu::video::SRecti& rectangle) override;

    int32_t getItemCount() const override;
    zu::gui::IGUIElement* getListItem(int32_t index) const override;
    zu::gui::IGUILayout* getItemLayout() const override { return m_items; }
    void updateScrollBar() override;
    void refresh(bool scrollToEnd) override;
    void setItemSpacing(int32_t pixels) override { m_spacing = pixels; }
    zu::gui::IGUIStaticText* addItem(const zu::core::CString& text, zu::gui::IGUIFont* font,
                                     uint32_t color, bool scrollToEnd, bool wrap) override;
    void setWrapPrefix(const zu::core::CString& prefix) override { m_wrapPrefix = prefix; }
    void clear() override;
    void setSelectable(bool on) override;
    bool isSelectable() const override { return m_selectable; }
    int32_t getSelected() const override;
    void setSelected(int32_t index) override;
    void removeItem(int32_t index) override;
    bool wasDoubleClick() const override { return m_doubleClick; }
    zu::gui::IGUIScrollBar* getScrollBar() const override;
    void setOwner(zu::gui::IGUIElement* owner) override { m_owner = owner; }
    zu::gui::IGUIElement* getOwner() const override { return m_owner; }

    zu::gui::IGUILayout* getOuterBox() const { return m_outer; }
    bool isDragging() const { return m_dragging; }
    int32_t getLastSelected() const { return m_lastSelected; }

  private:
    // The item layout and the bar side by side in the outer box's content
    // area, 2 pixels below its top; their places become the scroll origin.
    void arrange();
    // The item layout's height when it holds nothing: it grows from there
    // to hold the items.
    int32_t emptyItemHeight() const;
    void shrinkItemLayout();
    // Moves the item layout up by the bar's position, so that what is hit
    // is what the next frame shows.
    void followScrollBar();
    // Chooses the item under the point; unless quiet, tells the owner.
    void selectAt(zu::video::SPosition2i point, bool quiet, int32_t clicks);
    bool onMouse(const zu::event::SEngineEvent& event);

    // The list holds a reference to each part besides the tree's, so a part
    // taken out of the tree cannot leave it pointing at nothing.
    zu::gui::IGUILayout* m_outer = nullptr;
    zu::gui::IGUILayout* m_items = nullptr;
    CGUIScrollBar* m_scrollBar = nullptr;
    zu::video::SPosition2i m_scrollOrigin;
    int32_t m_selected = -1;
    int32_t m_lastSelected = -1;
    bool m_selectable = false;
    bool m_selectByHover;
    bool m_border;
    bool m_dragging = false;
    bool m_doubleClick = false;
    int32_t m_spacing = 0;
    zu::core::CString m_wrapPrefix = "   ";
    zu::gui::IGUIElement* m_owner;
};

} // namespace kelvo::gui
