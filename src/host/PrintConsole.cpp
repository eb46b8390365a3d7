#include "host/PrintConsole.h"

#include "gui/IGUIFont.h"
#include "video/IVideoDriver.h"

namespace pellora::states
{

void drawPrintConsole(zu::video::IVideoDriver* driver, zu::gui::IGUIFont* font,
                      const std::vector<zu::core::CString>& lines)
{
    if (!driver || !font || lines.empty())
        return;
    const zu::core::SDimension2i size = driver->getRenderSize();
    int32_t top = size.height - 20;
    // Newest at the bottom; lines that scrolled off the top are not drawn.
    for (auto line = lines.rbegin(); line != lines.rend() && top + 20 > 0; ++line, top -= 15)
        font->draw(*line, {10, top, size.width - 10, top + 20}, 0xFFFFFFFF);
}

} // namespace pellora::states
