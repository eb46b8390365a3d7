// IGUIRadioList: a column of check boxes of which exactly one is checked.
// Its items carry the negated id of the list; clicking the selected one
// changes nothing.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUICheckBox;

class IGUIRadioList : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // The new item, or null without a skin. The first item is selected.
    virtual IGUICheckBox* addRadioButton(const core::CString& caption) = 0;
    virtual int32_t getItemCount() const = 0;
    // Null out of range.
    virtual IGUICheckBox* getItem(int32_t index) const = 0;
    // Ignored out of range; sends no event.
    virtual void setSelection(int32_t index) = 0;
    virtual int32_t getSelection() const = 0;
    // For the items added afterwards.
    virtual void setTextColor(uint32_t color) = 0;
};

} // namespace zu::gui
