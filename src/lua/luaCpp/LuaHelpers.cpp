#include "lua/luaCpp/LuaHelpers.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

namespace zu::lua
{
core::CString scriptFolder(lua_State* L)
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
        return slash == std::string::npos ? core::CString() : core::CString(folder.substr(0, slash + 1));
    }
    return core::CString();
}

core::CString toCString(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = lua_type(L, index) == LUA_TSTRING || lua_type(L, index) == LUA_TNUMBER
                           ? lua_tolstring(L, index, &length)
                           : nullptr;
    return text ? core::CString(text, length) : core::CString();
}

void setFunctions(lua_State* L, int table, const luaL_Reg* list)
{
    table = table > 0 ? table : lua_gettop(L) + table + 1;
    for (const luaL_Reg* f = list; f->name; ++f)
    {
        lua_pushstring(L, f->name);
        lua_pushcclosure(L, f->func, 1);
        lua_setfield(L, table, f->name);
    }
}

void installTable(lua_State* L, const char* name, const luaL_Reg* list)
{
    lua_newtable(L);
    setFunctions(L, -1, list);
    lua_setglobal(L, name);
}


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

core::CString getScriptRelativePath(const CLuaArgs& args, int n, const PathOverrides& overrides)
{
    if (!lua_isstring(args.state(), args.index(n)))
        args.typeError(n, "string");
    core::CString name = toCString(args.state(), args.index(n));
    for (const auto& entry : overrides)
        if (entry.first == name)
            return entry.second;
    return scriptFolder(args.state()) + name;
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

} // namespace zu::lua
