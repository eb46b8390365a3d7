#include "host/PrintConsole.h"

#include "gui/IGUIFont.h"
#include "video/IVideoDriver.h"

namespace pellora::states
{
namespace
{
// Black at a little over half opacity.
constexpr uint32_t kBacking = 0x90000000;
} // namespace

void drawPrintConsole(zu::video::IVideoDriver* driver, zu::gui::IGUIFont* font,
                      const std::vector<zu::core::CString>& lines)
{
    if (!driver || !font || lines.empty())
        return;
    const zu::core::SDimension2i size = driver->getRenderSize();
    const int32_t bottom = size.height - 20;
    // Newest at the bottom; lines that scrolled off the top are not drawn.
    auto visible = [&](auto&& each) {
        int32_t top = bottom;
        for (auto line = lines.rbegin(); line != lines.rend() && top + 20 > 0; ++line, top -= 15)
            each(*line, top);
    };
    // A dark translucent band behind each line keeps white text readable on
    // a light picture. All bands first, then all text, so each is one batch.
    visible([&](const zu::core::CString& line, int32_t top) {
        const zu::core::SDimension2i text = font->getDimension(line);
        if (text.width > 0)
            driver->drawRectangle(kBacking, {7, top - 1, 13 + text.width, top + 14}, nullptr);
    });
    visible([&](const zu::core::CString& line, int32_t top) {
        font->draw(line, {10, top, size.width - 10, top + 20}, 0xFFFFFFFF);
    });
}

} // namespace pellora::states
