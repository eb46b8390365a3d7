// IGUIInOutFader: covers its area with a colour that fades in (from opaque
// to clear) or out (from clear to opaque, then stays).
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIInOutFader : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    virtual uint32_t getColor() const = 0;
    virtual void setColor(uint32_t color) = 0;
    // Over that many milliseconds from now.
    virtual void fadeIn(uint32_t milliseconds) = 0;
    virtual void fadeOut(uint32_t milliseconds) = 0;
    // Whether the end of the last fade has passed.
    virtual bool isReady() const = 0;
};

} // namespace zu::gui
