// IGUIHoverParent: the parent of every tool-tip frame. It covers the screen
// outside the element tree (no parent, id -1) and hands the events that
// reach it to the root through its event hook.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::gui
{

class IGUIHoverParent : public IGUIElement
{
  public:
    IGUIHoverParent(IGUIEnvironment* environment, IGUIElement* root)
        : IGUIElement(EGUIET_ELEMENT, environment, nullptr, -1, root->getAbsolutePosition())
    {
        setEventHook(root);
    }
};

} // namespace zu::gui
