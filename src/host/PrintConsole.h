// The print console: the lines a script printed, drawn over its picture in
// white on a dark translucent band, newest at the bottom of the render size,
// each older line 15 pixels higher. There is no line limit: older lines go off the top of the screen
// until the script clears the list.
#pragma once

#include "core/CString.h"

#include <vector>

namespace zu::gui
{
class IGUIFont;
}
namespace zu::video
{
class IVideoDriver;
}

namespace pellora::states
{

// Draws the lines, oldest first in the list, with the font; nothing without a
// font or a driver.
void drawPrintConsole(zu::video::IVideoDriver* driver, zu::gui::IGUIFont* font,
                      const std::vector<zu::core::CString>& lines);

} // namespace pellora::states
