// IGUIToolBar: a strip of small buttons along the top of its parent.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIButton;

class IGUIToolBar : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // The next button along the strip; with pushButton it stays pressed
    // until clicked again.
    virtual IGUIButton* addButton(int32_t id, const core::CString& caption,
                                  const core::CString& toolTip = "", bool pushButton = false) = 0;
};

} // namespace zu::gui
