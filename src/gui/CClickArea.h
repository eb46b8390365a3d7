// CClickArea: an invisible layout that reports every press and release of
// the left, right and middle mouse buttons on it to its parent.
#pragma once

#include "gui/IGUILayout.h"

namespace kelvo::gui
{

class CClickArea : public zu::gui::IGUILayout
{
  public:
    CClickArea(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
               const zu::video::SRecti& rectangle);

    bool onEvent(const zu::event::SEngineEvent& event) override;
};

} // namespace kelvo::gui
