// CGUIWindow: a window or a frame drawn in skin colours: a raised border, the
// face, and a title bar with the caption for a window. Tool-tips are
// frames.
#pragma once

#include "gui/IGUIWindow.h"

namespace kelvo::gui
{

class CGUIWindow : public zu::gui::IGUIWindow
{
  public:
    CGUIWindow(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
               const zu::video::SRecti& rectangle, bool isFrame);

    void draw() override;
    bool isFrame() const override { return m_isFrame; }

  private:
    bool m_isFrame;
};

} // namespace kelvo::gui
