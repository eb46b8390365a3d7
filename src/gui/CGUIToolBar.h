// CGUIToolBar: the tool bar, 30 pixels high, below the tool bars already at
// the top of its parent.
#pragma once

#include "gui/IGUIToolBar.h"

namespace kelvo::gui
{

class CGUIToolBar : public zu::gui::IGUIToolBar
{
  public:
    static constexpr int32_t HEIGHT = 30;

    CGUIToolBar(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id);

    void draw() override;
    zu::gui::IGUIButton* addButton(int32_t id, const zu::core::CString& caption,
                                   const zu::core::CString& toolTip, bool pushButton) override;

  private:
    int32_t m_nextX = 5;
};

} // namespace kelvo::gui
