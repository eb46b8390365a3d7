// SLuaMethod: one entry of a bound class's method list, shared by both
// binders. A list is a static array of entries ending with {nullptr, nullptr}.
// A method receives the script state with the object already removed from the
// value stack (its first argument is at index 1) and returns how many results
// it pushed.
#pragma once

struct lua_State;

namespace zu::lua
{

template <class T> struct SLuaMethod
{
    const char* name;
    int (T::*method)(lua_State* L);
};

} // namespace zu::lua
