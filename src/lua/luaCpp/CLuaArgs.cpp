#include "lua/luaCpp/CLuaArgs.h"

#include "lua/luaCpp/LuaHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zu::lua
{

lua_Number CLuaArgs::convertNumber(int n) const
{
    const int i = index(n);
    // A numeric string converts, as in the runtime's own checks.
    if (m_rule == EAR_STRICT && !lua_isnumber(m_state, i)) typeError(n, "number");
    return lua_tonumber(m_state, i);
}

int64_t CLuaArgs::integerIn(int n, int64_t lowest, int64_t highest) const
{
    return std::clamp(integer(n), lowest, highest);
}

core::CString CLuaArgs::text(int n) const
{
    const int i = index(n);
    if (m_rule == EAR_STRICT && !lua_isstring(m_state, i)) typeError(n, "string");
    if (!given(n)) return core::CString();
    return toCString(m_state, i);
}

core::CString CLuaArgs::text(int n, const char* fallback) const
{
    return missing(n) ? core::CString(fallback) : text(n);
}

const char* CLuaArgs::functionName(lua_State* L)
{
    // Every library registers its functions as closures carrying their name.
    if (lua_type(L, lua_upvalueindex(1)) == LUA_TSTRING)
        return lua_tostring(L, lua_upvalueindex(1));
    lua_Debug ar;
    if (lua_getstack(L, 0, &ar) && lua_getinfo(L, "n", &ar) && ar.name) return ar.name;
    return "?";
}

void CLuaArgs::error(int n, const char* message) const
{
    const char* name = functionName(m_state);
    if (m_selfHidden) luaL_error(m_state, "bad argument #%d to '%s' (%s)", n, name, message);
    int position = index(n);
    // Called with the colon form, the script counts its arguments after the
    // object, as the runtime's own argument errors do.
    lua_Debug ar;
    if (lua_getstack(m_state, 0, &ar) && lua_getinfo(m_state, "n", &ar) && ar.namewhat &&
        strcmp(ar.namewhat, "method") == 0)
    {
        --position;
        if (position == 0) luaL_error(m_state, "calling '%s' on bad self (%s)", name, message);
    }
    luaL_error(m_state, "bad argument #%d to '%s' (%s)", position, name, message);
    std::abort(); // luaL_error does not return
}

void CLuaArgs::typeError(int n, const char* expected) const
{
    const char* got = index(n) >= 1 ? luaL_typename(m_state, index(n)) : "no value";
    error(n, lua_pushfstring(m_state, "%s expected, got %s", expected, got));
}

} // namespace zu::lua
