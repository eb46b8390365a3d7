// IGUIStaticText: a text label, optionally bordered and word-wrapped, with a
// paragraph icon, a progressive reveal at 300 pixels a second and a sweep
// that shows every part of a centred text too wide for its box.
#pragma once

#include "gui/IGUIElement.h"
#include "gui/IGUIFont.h"

#include <vector>

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIStaticText : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Grabbed; null goes back to the skin font. Rewraps.
    virtual void setOverrideFont(IGUIFont* font) = 0;
    virtual IGUIFont* getOverrideFont() const = 0;
    // Stores the colour and turns it on.
    virtual void setOverrideColor(uint32_t color) = 0;
    virtual uint32_t getOverrideColor() const = 0;
    virtual void enableOverrideColor(bool on) = 0;
    virtual void setWordWrap(bool on) = 0;
    virtual bool isWordWrapEnabled() const = 0;
    virtual void setTextAlignment(EGUIAlignment horizontal, EGUIAlignment vertical) = 0;
    // The height of one line, times the wrapped lines when wrapping; 0
    // without a font.
    virtual int32_t getTextHeight() const = 0;
    // The icon is the package's animation of that name; "|right" at the end
    // of the name puts it on the right. With fitHeight the element becomes
    // as high as its lines or the icon.
    virtual void setParagraphIcon(const core::CString& name, video::ISpritePackage* package,
                                  bool fitHeight) = 0;
    // The text shows from left to right, line by line, from delay
    // milliseconds on.
    virtual void activateProgressiveReveal(uint32_t delay) = 0;
    // Milliseconds the reveal takes for all lines.
    virtual int32_t getTotalProgressiveTime() const = 0;
    virtual void activateOffsetScrollingToEnsureVisibleText() = 0;
    // Resizes the element to its text.
    virtual void packSize() = 0;
    // The lines word wrapping made; empty without wrapping.
    virtual const std::vector<core::CString>& getLines() const = 0;
};

} // namespace zu::gui
