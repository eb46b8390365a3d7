// CGUIInOutFader: the fader, on the environment's clock.
#pragma once

#include "gui/IGUIInOutFader.h"

namespace kelvo::gui
{

class CGUIInOutFader : public zu::gui::IGUIInOutFader
{
  public:
    CGUIInOutFader(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                   const zu::video::SRecti& rectangle);

    void draw() override;
    uint32_t getColor() const override { return m_color; }
    void setColor(uint32_t color) override { m_color = color; }
    void fadeIn(uint32_t milliseconds) override;
    void fadeOut(uint32_t milliseconds) override;
    bool isReady() const override;

  private:
    enum EState
    {
        IDLE,
        FADING_IN,
        FADING_OUT
    };
    void start(uint32_t milliseconds, EState state);

    uint32_t m_color = 0;
    uint32_t m_startColor = 0;
    uint32_t m_endColor = 0;
    uint32_t m_startTime = 0;
    uint32_t m_endTime = 0;
    EState m_state = IDLE;
};

} // namespace kelvo::gui
