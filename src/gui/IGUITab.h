// IGUITab: a tab page, a layout that may fill itself with a colour.
#pragma once

#include "gui/IGUILayout.h"

namespace zu::gui
{

class IGUITab : public IGUILayout
{
  public:
    using IGUILayout::IGUILayout;

    // Its index in its tab control; -1 outside one.
    virtual int32_t getNumber() const = 0;
    virtual void setNumber(int32_t index) = 0;
    virtual void setDrawBackground(bool on) = 0;
    virtual void setBackgroundColor(uint32_t color) = 0;
};

} // namespace zu::gui
