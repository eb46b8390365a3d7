#include "lua/CLuaWChar.h"

#include "lua/luaCpp/LuaClassBinder.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cmath>
#include <cstring>

namespace zu::lua
{

using core::CString;
using Binder = LuaClassBinder<CLuaWChar>;

const SLuaMethod<CLuaWChar> CLuaWChar::methods[] = {
    {"append", &CLuaWChar::append},
    {"length", &CLuaWChar::length},
    {"equals", &CLuaWChar::equals},
    {"lessThan", &CLuaWChar::lessThan},
    {"toString", &CLuaWChar::toString},
    {"toInteger", &CLuaWChar::toInteger},
    {"toNumber", &CLuaWChar::toNumber},
    {"toLower", &CLuaWChar::toLower},
    {"find", &CLuaWChar::find},
    {"sub", &CLuaWChar::sub},
    {"charAt", &CLuaWChar::charAt},
    {nullptr, nullptr},
};

void CLuaWChar::install(lua_State* L) { Binder::install(L); }

// WChar([value, ...]) -> WChar
// A new wide text holding the values appended as append does.
CLuaWChar* CLuaWChar::construct(const CLuaArgs& args)
{
    CString text;
    appendArguments(args, text);
    return new CLuaWChar(std::move(text));
}

void CLuaWChar::pushNew(lua_State* L, const CString& text) { Binder::push(L, new CLuaWChar(text)); }

void CLuaWChar::appendArguments(const CLuaArgs& args, CString& text)
{
    lua_State* L = args.state();
    for (int n = 1; n <= args.count(); ++n)
    {
        int type = args.type(n);
        if ((type == LUA_TUSERDATA || type == LUA_TLIGHTUSERDATA) && !Binder::test(L, args.index(n)))
            args.typeError(n, className);
    }
    for (int n = 1; n <= args.count(); ++n)
    {
        if (n > 1)
            text += ' ';
        int type = args.type(n);
        // A number is converted in place, in the runtime's own number format.
        if (type == LUA_TSTRING || type == LUA_TNUMBER)
            text += toCString(L, args.index(n));
        else if (type == LUA_TUSERDATA)
            text += Binder::test(L, args.index(n))->m_text;
    }
}

// WChar:append([value, ...]) -> nothing
// Appends each value, one blank between consecutive ones: texts and numbers
// as text, a WChar its text; nil, booleans, tables and functions add nothing
// (the blank is still added).
int CLuaWChar::append(const CLuaArgs& args)
{
    appendArguments(args, m_text);
    return 0;
}

// WChar:length() -> bytes
int CLuaWChar::length(const CLuaArgs& args)
{
    lua_pushinteger(args.state(), lua_Integer(m_text.size()));
    return 1;
}

// WChar:equals(other) -> boolean
// True when other is a WChar with the same bytes; false for any other
// argument count.
int CLuaWChar::equals(const CLuaArgs& args)
{
    bool same = args.count() == 1 && Binder::check(args, 1)->m_text == m_text;
    lua_pushboolean(args.state(), same);
    return 1;
}

// WChar:lessThan(other) -> boolean
// True when the text sorts before other's (bytes compared as unsigned
// values, the shorter first on a common prefix).
int CLuaWChar::lessThan(const CLuaArgs& args)
{
    CLuaWChar* other = args.count() == 1 ? Binder::test(args.state(), args.index(1)) : nullptr;
    // std::string compares bytes as unsigned values, the shorter first on a
    // common prefix.
    lua_pushboolean(args.state(), other && m_text.str() < other->m_text.str());
    return 1;
}

// WChar:toString() -> text
// The exact bytes, zero bytes included.
int CLuaWChar::toString(const CLuaArgs& args)
{
    pushText(args.state(), m_text);
    return 1;
}

int32_t CLuaWChar::textToInteger(const CString& text)
{
    bool negative = !text.empty() && text[0] == '-';
    size_t first = negative ? 1 : 0;
    uint32_t value = 0;
    uint32_t weight = 1;
    for (size_t i = text.size(); i > first; --i)
    {
        char c = text[i - 1];
        if (c < '0' || c > '9')
            continue;
        value += uint32_t(c - '0') * weight;
        weight *= 10;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

float CLuaWChar::textToNumber(const CString& text)
{
    size_t point = text.find('.');
    if (point == CString::npos)
        return float(textToInteger(text));
    float whole = float(textToInteger(text.substr(0, point)));
    size_t digits = text.size() - point - 1;
    float fraction = float(textToInteger(text.substr(point + 1))) /
                     std::pow(10.0f, float(digits));
    return text[0] == '-' ? whole - fraction : whole + fraction;
}

// WChar:toInteger() -> integer
// Every decimal digit counts, any other byte is skipped ("12a3" gives 123);
// negative when the text starts with "-". Wraps at 32 bits.
int CLuaWChar::toInteger(const CLuaArgs& args)
{
    lua_pushinteger(args.state(), textToInteger(m_text));
    return 1;
}

// WChar:toNumber() -> number
// The digits before the first "." as toInteger, plus the digits after it as
// a fraction ("-1.5" gives -1.5); 32-bit precision.
int CLuaWChar::toNumber(const CLuaArgs& args)
{
    lua_pushnumber(args.state(), textToNumber(m_text));
    return 1;
}

// WChar:toLower() -> WChar
// A new WChar with A to Z made lower case; other bytes unchanged.
int CLuaWChar::toLower(const CLuaArgs& args)
{
    CString lower = m_text;
    for (size_t i = 0; i < lower.size(); ++i)
        if (lower[i] >= 'A' && lower[i] <= 'Z')
            lower[i] = char(lower[i] - 'A' + 'a');
    pushNew(args.state(), lower);
    return 1;
}

// WChar:find(other [, start]) -> first, last | nil, nil
// Searches other (a WChar, up to its first zero byte) from the 1-based
// position start (default 1); returns the positions of its first and last
// bytes, or nil, nil when it is not found or start is below 1.
int CLuaWChar::find(const CLuaArgs& args)
{
    lua_State* L = args.state();
    if (args.count() < 1)
    {
        lua_pushnil(L);
        lua_pushnil(L);
        return 2;
    }
    const CString& other = Binder::check(args, 1)->m_text;
    int64_t start = args.integer(2, 1);
    // The other text counts up to its first zero byte.
    CString needle = other.substr(0, strnlen(other.data(), other.size()));
    size_t at = CString::npos;
    if (start >= 1 && start <= int64_t(m_text.size()) + 1)
        at = m_text.find(needle, size_t(start - 1));
    if (at == CString::npos)
    {
        lua_pushnil(L);
        lua_pushnil(L);
        return 2;
    }
    lua_pushinteger(L, lua_Integer(at + 1));
    lua_pushinteger(L, lua_Integer(at + needle.size()));
    return 2;
}

CString CLuaWChar::subText(const CString& text, int argc, int64_t i, int64_t j)
{
    const int64_t L = int64_t(text.size());
    int64_t start = 0;
    int64_t count = 0;
    if (argc == 1)
    {
        start = i >= 1 ? i : L + i + 1;
        count = i >= 1 ? -1 : -i;
    }
    else if (argc == 2)
    {
        if (i >= 1 && j >= 1)
        {
            if (j < i)
                return CString();
            start = i;
            count = j - i + 1;
        }
        else if (i >= 1)
        {
            start = i;
            count = L + j - i + 2;
        }
        else if (j >= 1)
        {
            start = L + i + 1;
            count = j - i - L;
        }
        else
        {
            if (j < i)
                return CString();
            start = L + i + 1;
            count = j - i + 1;
        }
    }
    else
        return CString();
    // A start before the first byte or past the last gives an empty text; a
    // negative count reaches the end, and so does a count beyond it.
    if (start < 1 || start > L || count == 0)
        return CString();
    if (count < 0 || count > L - start + 1)
        count = L - start + 1;
    return text.substr(size_t(start - 1), size_t(count));
}

// WChar:sub(i [, j]) -> WChar
// A piece of the text, 1-based like string.sub: sub(i) from i to the end
// (i <= 0 counts from the end), sub(i, j) from i to j (negative j counts
// from the end). Out of range gives an empty text.
int CLuaWChar::sub(const CLuaArgs& args)
{
    int argc = args.count();
    int64_t i = argc >= 1 && argc <= 2 ? args.integer(1) : 0;
    int64_t j = argc == 2 ? args.integer(2) : 0;
    pushNew(args.state(), subText(m_text, argc, i, j));
    return 1;
}

// WChar:charAt(index) -> byte | nil
// The byte at the 0-based index as a signed 8-bit number (0x80 and above
// come out negative); 0 outside the text; nil without an argument.
int CLuaWChar::charAt(const CLuaArgs& args)
{
    lua_State* L = args.state();
    if (args.count() < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    int64_t index = args.integer(1);
    int value = 0;
    if (index >= 0 && index < int64_t(m_text.size()))
        value = static_cast<int8_t>(m_text[size_t(index)]);
    lua_pushinteger(L, value);
    return 1;
}

} // namespace zu::lua
