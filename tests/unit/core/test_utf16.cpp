// UTF-8 to UTF-16 and back, with every kind of malformed input.
#include "core/Utf16.h"

#include <gtest/gtest.h>

#include <string>

using zu::core::CString;

namespace
{

std::string units(const std::u16string& text)
{
    std::string out;
    char buffer[8];
    for (char16_t unit : text)
    {
        snprintf(buffer, sizeof buffer, "%s%04X", out.empty() ? "" : " ", unsigned(unit));
        out += buffer;
    }
    return out;
}

TEST(Utf16, FromUtf8)
{
    struct Case
    {
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"az", "0061 007A"},
        {std::string("a\0b", 3), "0061 0000 0062"},
        {"\xC3\xA9", "00E9"},
        {"\xE2\x82\xAC", "20AC"},
        {"\xEF\xBB\xBF", "FEFF"},
        {"\xF0\x9D\x84\x9E", "D834 DD1E"},
        {"\xF4\x8F\xBF\xBF", "DBFF DFFF"},
        // A stray continuation byte, and a lead byte that can begin nothing.
        {"\x80\x61", "FFFD 0061"},
        {"\xFF\xFE", "FFFD FFFD"},
        // Cut short at the end and by a byte that is no continuation.
        {"a\xE2\x82", "0061 FFFD FFFD"},
        {"\xE2\x82\x61", "FFFD FFFD 0061"},
        // Overlong forms, an encoded surrogate and a value past U+10FFFF.
        {"\xC0\x80", "FFFD FFFD"},
        {"\xE0\x80\xAF", "FFFD FFFD FFFD"},
        {"\xED\xA0\x80", "FFFD FFFD FFFD"},
        {"\xF4\x90\x80\x80", "FFFD FFFD FFFD FFFD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(units(zu::core::utf8ToUtf16(c.bytes.data(), c.bytes.size())), c.expected)
            << units(std::u16string(c.bytes.begin(), c.bytes.end()));
}

TEST(Utf16, ToUtf8)
{
    struct Case
    {
        std::u16string text;
        std::string expected;
    };
    const Case cases[] = {
        {u"", ""},
        {u"a\u00E9\u20AC", "a\xC3\xA9\xE2\x82\xAC"},
        {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
        {u"\U0001D11E", "\xF0\x9D\x84\x9E"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        // Surrogates without their partner, alone, last, or in the wrong order.
        {{char16_t(0xD834)}, "\xEF\xBF\xBD"},
        {{u'a', char16_t(0xDD1E)}, "a\xEF\xBF\xBD"},
        {{char16_t(0xDD1E), char16_t(0xD834)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {{char16_t(0xD834), u'a'}, "\xEF\xBF\xBD\x61"},
    };
    for (const Case& c : cases)
    {
        CString got = zu::core::utf16ToUtf8(c.text.data(), c.text.size());
        EXPECT_EQ(got.str(), c.expected) << units(c.text);
        // What comes out is well-formed, so it converts back to what went in
        // wherever that was well-formed too.
        if (got.str().find("\xEF\xBF\xBD") == std::string::npos)
        {
            EXPECT_EQ(zu::core::utf8ToUtf16(got), c.text);
        }
    }
}

} // namespace
