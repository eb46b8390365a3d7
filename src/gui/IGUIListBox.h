// IGUIListBox: a column of text items in a box, with a vertical scroll bar
// along its right side. A selectable list marks the item the user clicked
// and tells its owner: a new choice, or the same item chosen again (with a
// double click if it was one). The wheel scrolls it.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIFont;
class IGUILayout;
class IGUIScrollBar;
class IGUIStaticText;

class IGUIListBox : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    virtual int32_t getItemCount() const = 0;
    // Null when there is no such item.
    virtual IGUIElement* getListItem(int32_t index) const = 0;
    // The layout whose children are the items.
    virtual IGUILayout* getItemLayout() const = 0;
    // The scroll range becomes what the items need beyond the box; a step
    // is one item's height on average.
    virtual void updateScrollBar() = 0;
    // Stacks the items again; with scrollToEnd the list shows its last item
    // (unless the user is dragging the bar).
    virtual void refresh(bool scrollToEnd) = 0;
    // Between items, in pixels, from the next refresh on.
    virtual void setItemSpacing(int32_t pixels) = 0;
    // A text item in the font (null: the skin font) and colour; a wrapped
    // one is as high as its lines. Without scrollToEnd it stays at the top
    // until the next refresh. Null when there is no font at all.
    virtual IGUIStaticText* addItem(const core::CString& text, IGUIFont* font = nullptr,
                                    uint32_t color = 0xFFFFFFFF, bool scrollToEnd = true,
                                    bool wrap = true) = 0;
    // Starts the continuation lines of wrapped items added afterwards.
    virtual void setWrapPrefix(const core::CString& prefix) = 0;
    // Removes every item, forgets the selection and scrolls to the top.
    virtual void clear() = 0;
    // Turning it on with nothing chosen chooses the first item; turning it
    // off chooses none.
    virtual void setSelectable(bool on) = 0;
    virtual bool isSelectable() const = 0;
    // -1 for none.
    virtual int32_t getSelected() const = 0;
    // Out of range, or while not selectable, chooses none. Sends no event.
    virtual void setSelected(int32_t index) = 0;
    // An index without an item changes nothing but the layout; the chosen
    // item stays chosen.
    virtual void removeItem(int32_t index) = 0;
    // Whether the last report of a choice came from a double click.
    virtual bool wasDoubleClick() const = 0;
    virtual IGUIScrollBar* getScrollBar() const = 0;
    // Who is told of the choices; the parent given at creation. Not grabbed.
    virtual void setOwner(IGUIElement* owner) = 0;
    virtual IGUIElement* getOwner() const = 0;
};

} // namespace zu::gui
