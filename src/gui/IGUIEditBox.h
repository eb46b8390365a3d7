// IGUIEditBox: a single line of text the user types into, with a blinking
// caret, a selection made with the mouse or Shift and the caret keys,
// pasting from the clipboard, an optional password mask and a maximum
// length. Tab and Shift+Tab move the focus to the edit boxes with the next
// and the previous ids; Enter reports and can click an associated button.
// Text is stored a byte a character: a typed character keeps its low byte.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

class IGUIEditBox : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Takes the focus and selects the whole text, with the caret at its end.
    virtual void grabFocus() = 0;
    // Grabbed; null goes back to the skin font.
    virtual void setOverrideFont(IGUIFont* font) = 0;
    virtual IGUIFont* getOverrideFont() const = 0;
    // Stores the text colour and turns it on.
    virtual void setOverrideColor(uint32_t color) = 0;
    virtual void enableOverrideColor(bool on) = 0;
    // The longest text typing may make; 0 (or a negative value) for no limit.
    // A longer text is cut to it. Pasting is not limited.
    virtual void setMax(int32_t length) = 0;
    virtual int32_t getMax() const = 0;
    // Shows one '*' a character; the text itself stays as typed.
    virtual void setPassword(bool on) = 0;
    virtual bool isPassword() const = 0;
    // prefix + "Background" (tiled; it gives the box its height), "Left" and
    // "Right" (the ends).
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    // The id of the button Enter clicks; -1 for none.
    virtual void setAssociatedButton(int32_t id) = 0;
    virtual int32_t getAssociatedButton() const = 0;
};

} // namespace zu::gui
