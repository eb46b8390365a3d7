// IGUIWindow: a window, or a frame (a window without a title bar). Its
// content area is the inside of its border.
#pragma once

#include "gui/IGUILayout.h"

namespace zu::gui
{

class IGUIWindow : public IGUILayout
{
  public:
    using IGUILayout::IGUILayout;

    virtual bool isFrame() const = 0;
};

} // namespace zu::gui
