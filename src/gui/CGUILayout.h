// CGUILayout: a plain container that only arranges its children.
#pragma once

#include "gui/IGUILayout.h"

namespace kelvo::gui
{

class CGUILayout : public zu::gui::IGUILayout
{
  public:
    CGUILayout(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
               const zu::video::SRecti& rectangle)
        : IGUILayout(zu::gui::EGUIET_LAYOUT, environment, parent, id, rectangle)
    {
        setDebugName("CGUILayout");
    }
};

} // namespace kelvo::gui
