// CGUITab: the tab page.
#pragma once

#include "gui/IGUITab.h"

namespace kelvo::gui
{

class CGUITab : public zu::gui::IGUITab
{
  public:
    CGUITab(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
            const zu::video::SRecti& rectangle, int32_t number = -1);

    void draw() override;
    int32_t getNumber() const override { return m_number; }
    void setNumber(int32_t index) override { m_number = index; }
    void setDrawBackground(bool on) override { m_drawBackground = on; }
    void setBackgroundColor(uint32_t color) override { m_backgroundColor = color; }

  private:
    int32_t m_number;
    bool m_drawBackground = false;
    uint32_t m_backgroundColor = 0;
};

} // namespace kelvo::gui
