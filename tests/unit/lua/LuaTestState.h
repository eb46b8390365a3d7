// A bare script state for the script-library tests, and a runner that turns a
// chunk's results into one comparable text.
#pragma once

#include <lua.hpp>

#include <string>

namespace luatest
{

class CState
{
public:
    CState() : L(luaL_newstate()) { luaL_openlibs(L); }
    ~CState()
    {
        if (L)
            lua_close(L);
    }
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;

    void close()
    {
        lua_close(L);
        L = nullptr;
    }

    // Runs the chunk protected. Its results are joined with ","; strings
    // as they are (bytes kept), numbers in the runtime's format, booleans and
    // nil by name, anything else by its type name. A failure gives
    // "error:" and the message.
    std::string run(const std::string& chunk, const char* name = "=test")
    {
        int base = lua_gettop(L);
        if (luaL_loadbuffer(L, chunk.data(), chunk.size(), name) != 0 ||
            lua_pcall(L, 0, LUA_MULTRET, 0) != 0)
        {
            std::string message = std::string("error:") + lua_tostring(L, -1);
            lua_settop(L, base);
            return message;
        }
        std::string out;
        for (int i = base + 1; i <= lua_gettop(L); ++i)
        {
            if (i > base + 1)
                out += ",";
            size_t length = 0;
            switch (lua_type(L, i))
            {
            case LUA_TSTRING:
            case LUA_TNUMBER:
            {
                const char* text = lua_tolstring(L, i, &length);
                out.append(text, length);
                break;
            }
            case LUA_TBOOLEAN:
                out += lua_toboolean(L, i) ? "true" : "false";
                break;
            default:
                out += luaL_typename(L, i);
            }
        }
        lua_settop(L, base);
        return out;
    }

    lua_State* L;
};

// Expected texts starting with "error:" match any error whose message holds
// the rest; others must be equal.
inline bool matches(const std::string& got, const std::string& expected)
{
    if (expected.rfind("error:", 0) == 0)
        return got.rfind("error:", 0) == 0 && got.find(expected.substr(6)) != std::string::npos;
    return got == expected;
}

} // namespace luatest
