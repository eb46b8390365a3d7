#include "lua/luaCpp/LuaHelpers.h"

#include "io/CReadFile.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"

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

core::CString scriptPath(lua_State* L, const core::CString& name)
{
    return name.startsWith("$") ? name : scriptFolder(L) + name;
}

int loadScriptFile(lua_State* L, io::IFileSystem* fs, const core::CString& path)
{
    const core::CString resolved = fs ? fs->resolvePath(path) : path;
    io::IReadFile* file =
        fs ? fs->createAndOpenFile(resolved) : kelvo::io::CReadFile::create(resolved);
    std::string text;
    bool complete = false;
    if (file)
    {
        const int32_t size = file->getSize();
        text.resize(size > 0 ? size_t(size) : 0);
        complete = size >= 0 && (size == 0 || file->read(&text[0], uint32_t(size)) == size);
        file->drop();
    }
    if (!complete)
    {
        lua_pushfstring(L, "cannot open %s", resolved.c_str());
        return LUA_ERRFILE;
    }
    // A first line starting with "#" (a Unix script header) is skipped, as
    // the runtime's own file loader does; the line itself is kept as an empty
    // one so line numbers stay right.
    if (!text.empty() && text[0] == '#')
        text.erase(0, text.find('\n') == std::string::npos ? text.size() : text.find('\n'));
    const std::string chunkName = "@" + resolved.str();
    return luaL_loadbuffer(L, text.data(), text.size(), chunkName.c_str());
}

core::CString toCString(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = lua_type(L, index) == LUA_TSTRING || lua_type(L, index) == LUA_TNUMBER
                           ? lua_tolstring(L, index, &length)
                           : nullptr;
    return text ? core::CString(text, length) : core::CString();
}

void pushWeakValueTable(lua_State* L, int holder, const char* field)
{
    if (holder < 0 && holder > LUA_REGISTRYINDEX) holder = lua_gettop(L) + holder + 1;
    lua_getfield(L, holder, field);
    if (lua_istable(L, -1)) return;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);
    lua_pushliteral(L, "v");
    lua_setfield(L, -2, "__mode");
    lua_pushvalue(L, -1);
    lua_setfield(L, holder, field);
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
    lua_getglobal(L, name);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setglobal(L, name);
    }
    setFunctions(L, -1, list);
    lua_pop(L, 1);
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
    return scriptPath(args.state(), name);
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
