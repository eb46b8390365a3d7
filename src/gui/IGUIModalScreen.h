// IGUIModalScreen: a layout that covers its parent and swallows every mouse
// and key event that reaches it, so nothing behind it gets input while it
// exists; the dialog on it (its children) gets its input first.
#pragma once

#include "event/SEngineEvent.h"
#include "gui/IGUILayout.h"

namespace zu::gui
{

class IGUIModalScreen : public IGUILayout
{
  public:
    using IGUILayout::IGUILayout;

    // A copy of the last input event it swallowed.
    virtual const event::SEngineEvent& getLastEvent() const = 0;
};

} // namespace zu::gui
