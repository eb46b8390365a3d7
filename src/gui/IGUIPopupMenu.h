// IGUIPopupMenu: a column of entries in a frame, over everything below it.
// A click on an entry reports the entry (whose id is its command id) to the
// owner and closes the popup; a press outside closes it too.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIPopupMenu : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Does nothing without an item font.
    virtual void addItem(const core::CString& text, int32_t commandId) = 0;
    // Who gets the popup's events; null means the parent. Not grabbed: an
    // owner that goes first closes the popup.
    virtual void setOwner(IGUIElement* owner) = 0;
    virtual IGUIElement* getOwner() const = 0;
    // The frame holding the entries (the title first, when there is one).
    virtual IGUIElement* getItemFrame() const = 0;
    // The entry under the mouse, -1 for none.
    virtual int32_t getHoveredItem() const = 0;
    // Reports the closing to the owner and leaves the tree.
    virtual void close() = 0;
};

} // namespace zu::gui
