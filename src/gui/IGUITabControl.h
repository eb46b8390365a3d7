// IGUITabControl: tab pages under a row of tab headers; a click on a header
// shows its page and hides the others.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUITab;

class IGUITabControl : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // A new page covering the area below the headers; the first becomes
    // active.
    virtual IGUITab* addTab(const core::CString& caption, int32_t id = -1) = 0;
    virtual int32_t getTabCount() const = 0;
    // Null out of range.
    virtual IGUITab* getTab(int32_t index) const = 0;
    // False, changing nothing, out of range. A change is reported (event
    // 21) to the parent.
    virtual bool setActiveTab(int32_t index) = 0;
    virtual int32_t getActiveTab() const = 0;
    // prefix + "Background", "TopLeft", ..., "Bottom" and "Tab".
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    virtual void setTextColor(uint32_t color) = 0;
};

} // namespace zu::gui
