// Word breaking for wrapped text (static texts, list box items): words move
// to a new line when they would pass the width, unless they are wider than
// the whole width themselves, which keeps them whole on the line they reach.
// Widths are the font's, so colour codes take no room.
#pragma once

#include "core/CString.h"

#include <cstdint>
#include <vector>

namespace zu::gui
{
class IGUIFont;
}

namespace kelvo::gui
{

// Fills lines with the text broken at width. A line that a long word starts
// begins with the prefix; a line feed ends a line (with a trailing space)
// without it. A width of 4 or less gives the whole text as one line. False,
// and the lines left as they were, without a font.
bool breakText(const zu::core::CString& text, const zu::core::CString& prefix,
               zu::gui::IGUIFont* font, int32_t width, std::vector<zu::core::CString>& lines);

} // namespace kelvo::gui
