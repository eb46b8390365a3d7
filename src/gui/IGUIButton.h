// IGUIButton: a push button with four looks (normal, highlighted, pressed,
// disabled) from the skin's images or drawn as a raised or sunken frame. A
// push button stays pressed until it is clicked again.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

enum EGUIButtonState : int32_t
{
    EGBS_NORMAL = 0,
    EGBS_HIGHLIGHTED = 1,
    EGBS_PRESSED = 2,
    EGBS_DISABLED = 3
};

class IGUIButton : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Grabbed; null goes back to the skin font.
    virtual void setOverrideFont(IGUIFont* font) = 0;
    // Stores the caption colour and turns it on.
    virtual void setOverrideColor(uint32_t color) = 0;
    // The images prefix + "Normal", "Highlighted", "Pressed" and "Disabled";
    // with fitSize the button takes the size of the Normal one.
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix,
                           bool fitSize) = 0;
    virtual void setIsPushButton(bool on) = 0;
    virtual bool isPushButton() const = 0;
    virtual void setPressed(bool pressed) = 0;
    virtual bool isPressed() const = 0;
    virtual EGUIButtonState getState() const = 0;
    // Reports a click to the parent as if the user clicked.
    virtual void click() = 0;
};

} // namespace zu::gui
