// CGUIModalScreen: the modal screen. It keeps the size of its parent and
// shades the parent's area in skin colour 17 before its children draw.
#pragma once

#include "gui/IGUIModalScreen.h"

namespace kelvo::gui
{

class CGUIModalScreen : public zu::gui::IGUIModalScreen
{
  public:
    CGUIModalScreen(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                    int32_t id);

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    // The rectangle is always the parent's whole area.
    void updateAbsolutePosition() override;
    const zu::event::SEngineEvent& getLastEvent() const override { return m_lastEvent; }

  private:
    bool hasVisibleChild() const;

    zu::event::SEngineEvent m_lastEvent{};
};

} // namespace kelvo::gui
