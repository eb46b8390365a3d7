#include "gui/BreakText.h"

#include "gui/IGUIFont.h"

namespace kelvo::gui
{

bool breakText(const zu::core::CString& text, const zu::core::CString& prefix,
               zu::gui::IGUIFont* font, int32_t width, std::vector<zu::core::CString>& lines)
{
    if (!font) return false;
    lines.clear();
    if (width <= 4)
    {
        lines.push_back(text);
        return true;
    }
    auto widthOf = [font](const zu::core::CString& s)
    { return s.empty() ? 0 : font->getDimension(s).width; };
    zu::core::CString line, word, blanks;
    int32_t lineWidth = 0;
    // One pass more than the text is long: the end closes the last word.
    for (size_t i = 0; i <= text.size(); ++i)
    {
        const bool end = i == text.size();
        const char c = end ? '\0' : text[i];
        if (!end && c != ' ' && c != '\n')
        {
            word += c;
            continue;
        }
        if (!word.empty())
        {
            const int32_t wordWidth = widthOf(word);
            const int32_t total = lineWidth + widthOf(blanks) + wordWidth;
            if (total > width && wordWidth < width)
            {
                lines.push_back(line);
                line = prefix + word;
                lineWidth = widthOf(prefix) + wordWidth;
            }
            else
            {
                line += blanks;
                line += word;
                lineWidth = total;
            }
            word = zu::core::CString();
            blanks = zu::core::CString();
        }
        if (end) break;
        blanks += ' ';
        if (c == '\n')
        {
            line += blanks;
            lines.push_back(line);
            line = zu::core::CString();
            lineWidth = 0;
            blanks = zu::core::CString();
        }
    }
    line += blanks;
    line += word;
    lines.push_back(line);
    return true;
}

} // namespace kelvo::gui
