// IGUICheckBox: a box with a caption that toggles when clicked; its six
// looks come from the skin's images or are drawn in skin colours. Radio
// lists are made of them.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

class IGUICheckBox : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Sends no event.
    virtual void setChecked(bool checked) = 0;
    virtual bool isChecked() const = 0;
    // prefix + "Normal", "Highlighted", "Disabled", "CheckedNormal",
    // "CheckedHighlighted" and "CheckedDisabled".
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    virtual void setTextColor(uint32_t color) = 0;
    // Not grabbed: the font registry keeps fonts alive.
    virtual void setFont(IGUIFont* font) = 0;
    // Widens the box to hold the picture and the caption.
    virtual void fitWidthToText() = 0;
};

} // namespace zu::gui
