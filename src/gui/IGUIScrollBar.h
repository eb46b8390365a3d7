// IGUIScrollBar: a bar with an arrow button at each end and a thumb between
// them that stands for a position from 0 to the maximum. The arrows move it
// by the small step, a press on the track beside the thumb by the large
// step, the wheel by ten a notch, and the thumb can be dragged. Every move
// the user makes is reported to the parent.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIScrollBar : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // A negative maximum becomes 0, which disables the arrows. The small step
    // becomes max / 50 (at least 1), the large step max / 5 (0 for a maximum
    // below 5). The position is clamped again; no event is sent.
    virtual void setMax(int32_t max) = 0;
    virtual int32_t getMax() const = 0;
    // A step that is not positive becomes 1.
    virtual void setSteps(int32_t small, int32_t large) = 0;
    virtual int32_t getSmallStep() const = 0;
    virtual int32_t getLargeStep() const = 0;
    virtual int32_t getPos() const = 0;
    // Clamped to 0..max; sends no event.
    virtual void setPos(int32_t pos) = 0;
    virtual bool isDragging() const = 0;
    virtual bool isHorizontal() const = 0;
    // prefix + "Background", "ThumbNormal", "ThumbHighlighted", "ThumbPressed"
    // and "ThumbDisabled" ("Thumb" stands in for a missing "ThumbNormal"),
    // and the arrows' images under prefix + "Left"/"Right" or "Up"/"Down".
    // The bar takes its arrows' breadth.
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
};

} // namespace zu::gui
