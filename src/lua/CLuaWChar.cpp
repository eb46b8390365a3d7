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

CLuaWChar* CLuaWChar::construct(lua_State* L)
{
    CString text;
    appendArguments(L, text);
    return new CLuaWChar(std::move(text));
}

void CLuaWChar::pushNew(lua_State* L, const CString& text) { Binder::push(L, new CLuaWChar(text)); }

void CLuaWChar::appendArguments(lua_State* L, CString& text)
{
    int count = lua_gettop(L);
    for (int i = 1; i <= count; ++i)
    {
        int type = lua_type(L, i);
        if ((type == LUA_TUSERDATA || type == LUA_TLIGHTUSERDATA) && !Binder::test(L, i))
            luaL_typerror(L, i, className);
    }
    for (int i = 1; i <= count; ++i)
    {
        if (i > 1)
            text += ' ';
        int type = lua_type(L, i);
        if (type == LUA_TSTRING || type == LUA_TNUMBER)
        {
            // Converts a number in place, in the runtime's own number format.
            size_t length = 0;
            const char* bytes = lua_tolstring(L, i, &length);
            text += CString(bytes, length);
        }
        else if (type == LUA_TUSERDATA)
            text += Binder::test(L, i)->m_text;
    }
}

int CLuaWChar::append(lua_State* L)
{
    appendArguments(L, m_text);
    return 0;
}

int CLuaWChar::length(lua_State* L)
{
    lua_pushinteger(L, lua_Integer(m_text.size()));
    return 1;
}

int CLuaWChar::equals(lua_State* L)
{
    bool same = lua_gettop(L) == 1 && Binder::check(L, 1)->m_text == m_text;
    lua_pushboolean(L, same);
    return 1;
}

int CLuaWChar::lessThan(lua_State* L)
{
    CLuaWChar* other = lua_gettop(L) == 1 ? Binder::test(L, 1) : nullptr;
    // std::string compares bytes as unsigned values, the shorter first on a
    // common prefix.
    lua_pushboolean(L, other && m_text.str() < other->m_text.str());
    return 1;
}

int CLuaWChar::toString(lua_State* L)
{
    lua_pushlstring(L, m_text.data(), m_text.size());
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

int CLuaWChar::toInteger(lua_State* L)
{
    lua_pushinteger(L, textToInteger(m_text));
    return 1;
}

int CLuaWChar::toNumber(lua_State* L)
{
    lua_pushnumber(L, textToNumber(m_text));
    return 1;
}

int CLuaWChar::toLower(lua_State* L)
{
    CString lower = m_text;
    for (size_t i = 0; i < lower.size(); ++i)
        if (lower[i] >= 'A' && lower[i] <= 'Z')
            lower[i] = char(lower[i] - 'A' + 'a');
    pushNew(L, lower);
    return 1;
}

int CLuaWChar::find(lua_State* L)
{
    if (lua_gettop(L) < 1)
    {
        lua_pushnil(L);
        lua_pushnil(L);
        return 2;
    }
    const CString& other = Binder::check(L, 1)->m_text;
    int64_t start = optInteger(L, 2, 1);
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

int CLuaWChar::sub(lua_State* L)
{
    int argc = lua_gettop(L);
    int64_t i = argc >= 1 && argc <= 2 ? checkInteger(L, 1) : 0;
    int64_t j = argc == 2 ? checkInteger(L, 2) : 0;
    pushNew(L, subText(m_text, argc, i, j));
    return 1;
}

int CLuaWChar::charAt(lua_State* L)
{
    if (lua_gettop(L) < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    int64_t index = checkInteger(L, 1);
    int value = 0;
    if (index >= 0 && index < int64_t(m_text.size()))
        value = static_cast<int8_t>(m_text[size_t(index)]);
    lua_pushinteger(L, value);
    return 1;
}

} // namespace zu::lua
