#include "core/CString.h"

#include "core/Output.h"

#include <cstdint>

namespace zu::core
{

CString::CString(const char* text)
{
    ZU_CHECK_MSG(text != nullptr, "CString built from a null pointer");
    if (text)
        m_text = text;
}

CString& CString::replace(char from, char to)
{
    for (char& c : m_text)
        if (c == from)
            c = to;
    return *this;
}

std::u16string CString::toUtf16() const
{
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(m_text.data());
    const auto* end = p + m_text.size();
    while (p < end)
    {
        uint32_t c = *p++;
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0)
            continue;
        c &= extra == 0 ? 0x7F : (0x3F >> extra);
        bool ok = true;
        for (int i = 0; i < extra; ++i, ++p)
        {
            if (p == end || (*p & 0xC0) != 0x80)
            {
                ok = false;
                break;
            }
            c = (c << 6) | (*p & 0x3F);
        }
        if (!ok)
            continue;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        else
            out += static_cast<char16_t>(c);
    }
    return out;
}

} // namespace zu::core
