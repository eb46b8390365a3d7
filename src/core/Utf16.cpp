#include "core/Utf16.h"

#include <cstdint>

namespace zu::core
{
namespace
{

constexpr char32_t REPLACEMENT = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000)
    {
        c -= 0x10000;
        out += char16_t(0xD800 + (c >> 10));
        out += char16_t(0xDC00 + (c & 0x3FF));
    }
    else
        out += char16_t(c);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
        out += char(c);
    else if (c < 0x800)
    {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    else
    {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The code point of the sequence at p (at most `left` bytes), and its length;
// 0 for a byte that begins no well-formed sequence.
size_t decodeUtf8(const uint8_t* p, size_t left, char32_t& c)
{
    uint8_t lead = p[0];
    size_t length;
    char32_t lowest;
    if (lead < 0x80)
    {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, lowest = 0x80, c = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, lowest = 0x800, c = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, lowest = 0x10000, c = lead & 0x07;
    else
        return 0;
    if (length > left) return 0;
    for (size_t i = 1; i < length; ++i)
    {
        if ((p[i] & 0xC0) != 0x80) return 0;
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

} // namespace

std::u16string utf8ToUtf16(const char* data, size_t length)
{
    std::u16string out;
    out.reserve(length);
    const auto* p = reinterpret_cast<const uint8_t*>(data);
    size_t at = 0;
    while (at < length)
    {
        char32_t c;
        size_t used = decodeUtf8(p + at, length - at, c);
        appendUtf16(out, used ? c : REPLACEMENT);
        at += used ? used : 1;
    }
    return out;
}

CString utf16ToUtf8(const char16_t* units, size_t count)
{
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
    {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = REPLACEMENT;
        appendUtf8(out, c);
    }
    return CString(std::move(out));
}

} // namespace zu::core
