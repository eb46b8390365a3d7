// SLuaMethod: one entry of a bound class's method list, shared by both
// binders. A list is a static array of entries ending with {nullptr, nullptr}.
// A method receives the call's arguments with the object left out (argument 1
// is the first one after it) and returns how many results it pushed.
#pragma once

namespace zu::lua
{

class CLuaArgs;

template <class T> struct SLuaMethod
{
    const char* name;
    int (T::*method)(const CLuaArgs& args);
};

} // namespace zu::lua
