// IGUILayout: an element that arranges its children. The four arrangements
// (flow, vertical, horizontal and river) place the children that are not
// fixed inside the content area, in list order, and grow the layout when
// they do not fit. The root, windows, frames, tabs, modal screens and click
// areas are layouts.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUILayout : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Rows from the left (or from the right), wrapping before a child that
    // would reach the right spacing. The layout grows downwards to fit, and
    // sideways too with growWidth.
    virtual void sortFlow(int32_t spacingX, int32_t spacingY, bool rightToLeft = false,
                          bool growWidth = false);
    // One column from the top, centred or at the left edge.
    virtual void sortVertically(int32_t spacing, bool centre);
    // One row from the left, each child centred vertically.
    virtual void sortHorizontally(int32_t spacing);
    // Rows described by the children's river texts: "br" starts a row,
    // "top"/"middle"/"bottom" and "left"/"center"/"right" align it, "tab"
    // lines a child up with the same tab stop of the other rows. With pack
    // the layout takes the size of what it holds.
    virtual void sortRiver(bool pack, int32_t spacingX, int32_t spacingY, bool emptyIsTab = false);
    // The local rectangle for the children that are not fixed.
    virtual video::SRecti getContentArea() const;
    // Moves those children by the content area's upper-left corner.
    virtual void offsetChildrenToContent();

    video::SRecti getChildClippingRect(bool fixed) const override;

  protected:
    // The children the arrangements move.
    ChildList arrangedChildren() const;
    // Sets the own rectangle again, grown by the overflow (positive parts
    // only), then moves the children into the content area.
    void finishArrangement(int32_t growWidth, int32_t growHeight);
};

} // namespace zu::gui
