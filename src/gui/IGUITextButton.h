// IGUITextButton: a caption that clicks, with an optional picture above it
// and marker pictures on both sides while the mouse is over it. It has no
// pressed look: any release over it clicks.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIFont;

class IGUITextButton : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    virtual void setTextColor(uint32_t color) = 0;
};

} // namespace zu::gui
