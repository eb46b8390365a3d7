#include "lua/luaCpp/LuaHelpers.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

namespace zu::lua
{
namespace
{

// The folder of the nearest function on the call stack that comes from a
// script file, with its trailing "/"; empty when there is none. Like dofile,
// it looks past C functions and string chunks, and past a caller that made a
// tail call (whose frame the runtime no longer keeps) to the one above.
std::string callerFolder(lua_State* L)
{
    lua_Debug ar;
    for (int level = 1; lua_getstack(L, level, &ar); ++level)
    {
        if (!lua_getinfo(L, "S", &ar) || !ar.source || ar.source[0] != '@')
            continue;
        std::string folder;
        for (const char* c = ar.source + 1; *c; ++c)
        {
            char ch = *c == '\\' ? '/' : *c;
            if (ch != '/' || folder.empty() || folder.back() != '/')
                folder += ch;
        }
        while (!folder.empty() && folder.back() == '/')
            folder.pop_back();
        size_t slash = folder.rfind('/');
        return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    }
    return std::string();
}

} // namespace

int tracebackHandler(lua_State* L)
{
    lua_getglobal(L, "debug");
    if (lua_istable(L, -1))
    {
        lua_getfield(L, -1, "traceback");
        if (lua_isfunction(L, -1))
        {
            lua_pushvalue(L, 1);
            lua_pushinteger(L, 2);
            lua_call(L, 2, 1);
            return 1;
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return 1;
}

core::CString getScriptRelativePath(lua_State* L, int index, const PathOverrides& overrides)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    core::CString name(text, length);
    for (const auto& entry : overrides)
        if (entry.first == name)
            return entry.second;
    return core::CString(callerFolder(L)) + name;
}

int64_t toInteger(lua_Number value)
{
    constexpr lua_Number limit = 9007199254740992.0; // 2^53
    if (std::isnan(value))
        return 0;
    if (value > limit)
        return int64_t(limit);
    if (value < -limit)
        return -int64_t(limit);
    return static_cast<int64_t>(value);
}

int32_t toInt32(lua_Number value)
{
    return int32_t(std::clamp<int64_t>(toInteger(value), INT32_MIN, INT32_MAX));
}

void printThroughScript(lua_State* L, const core::CString& line)
{
    lua_getglobal(L, "print");
    if (!lua_isfunction(L, -1))
    {
        lua_pop(L, 1);
        return;
    }
    lua_pushlstring(L, line.data(), line.size());
    if (lua_pcall(L, 1, 0, 0) != 0)
        lua_pop(L, 1);
}

float toFloat(lua_Number value)
{
    if (value > FLT_MAX)
        return HUGE_VALF;
    if (value < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<float>(value);
}

int64_t checkInteger(lua_State* L, int index) { return toInteger(luaL_checknumber(L, index)); }

int64_t optInteger(lua_State* L, int index, int64_t fallback)
{
    return lua_isnoneornil(L, index) ? fallback : checkInteger(L, index);
}

} // namespace zu::lua
