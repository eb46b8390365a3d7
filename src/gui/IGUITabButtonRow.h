// IGUITabButtonRow: a row of tab buttons drawn from the skin package, the
// active one on top of the others. When the tabs do not fit they overlap.
// A closable active tab shows a close mark; clicking it closes the tab.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

class IGUITabButtonRow : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Returns the new tab's index; the first tab becomes active.
    virtual int32_t addTab(const core::CString& caption, bool closable) = 0;
    virtual int32_t getTabCount() const = 0;
    // The empty text out of range.
    virtual core::CString getTabCaption(int32_t index) const = 0;
    // An index without a tab is refused (false).
    virtual bool setActiveTab(int32_t index) = 0;
    // Ignored out of range.
    virtual void highlightTab(int32_t index, bool on) = 0;
    // -1 without tabs.
    virtual int32_t getActiveTab() const = 0;
    // prefix + "Top", "TabNormal", "TabHighlighted", "TopInner", and the close
    // marks "CloseBtnNormal" and "CloseBtnHighlighted"; the row takes the
    // tab height.
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    virtual void setTextColor(uint32_t color) = 0;
    // Not grabbed.
    virtual void setFont(IGUIFont* font) = 0;
    virtual void setHighlightColor(uint32_t color) = 0;
    // A tab's left edge, relative to the row; 0 out of range.
    virtual int32_t getTabX(int32_t index) const = 0;
    // -1 when no tab is under the mouse.
    virtual int32_t getHoveredTab() const = 0;
};

} // namespace zu::gui
