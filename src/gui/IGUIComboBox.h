// IGUIComboBox: a box showing the chosen item of a list of texts, with a
// button that drops the whole list down (at most ten rows) to choose from.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIListBox;

class IGUIComboBox : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    virtual int32_t getItemCount() const = 0;
    // The empty text out of range.
    virtual core::CString getItem(int32_t index) const = 0;
    // Returns the new item's index; the first item becomes the choice.
    virtual int32_t addItem(const core::CString& text) = 0;
    // Removes every item; nothing is chosen.
    virtual void clear() = 0;
    // -1 for none.
    virtual int32_t getSelected() const = 0;
    // Only an index in range is taken.
    virtual void setSelected(int32_t index) = 0;
    // prefix + "Background" and "Left".
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    // Opens the list when it is closed, else closes it.
    virtual void toggle() = 0;
    // The open drop-down list, or null.
    virtual IGUIListBox* getDropDown() const = 0;
};

} // namespace zu::gui
