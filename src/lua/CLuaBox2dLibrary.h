// CLuaBox2dLibrary: installs the script class Physics (a rigid-body world per
// object; see CLuaPhysics). The script manager creates it, installs it into
// each new script state and deletes it after the state is closed.
#pragma once

#include <lua.hpp>

namespace zu::lua
{

class CLuaBox2dLibrary
{
public:
    CLuaBox2dLibrary() = default;
    ~CLuaBox2dLibrary() = default;
    CLuaBox2dLibrary(const CLuaBox2dLibrary&) = delete;
    CLuaBox2dLibrary& operator=(const CLuaBox2dLibrary&) = delete;

    // Registers the class table Physics in the state.
    void install(lua_State* L);
};

} // namespace zu::lua
