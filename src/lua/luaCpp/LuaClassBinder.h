// LuaClassBinder<T>: publishes the native class T to scripts as userdata.
//
// install() makes, in the globals, the class table T::className holding the
// methods and "new", callable itself as the constructor; and, in the registry,
// the metatable of T's userdata under the same name. Each userdata holds a T
// pointer (and the class's tag, below). push() hands a native object to the script; one native object is
// always represented by one userdata while that userdata lives (a weak-valued
// "userdata" table in the metatable maps the object's address to it). Objects
// pushed are owned by the script: the collector deletes them, unless the
// userdata was entered in the metatable's "do not trash" table (see
// setDoNotTrash), which is how a native owner lends an object to a script.
//
// What T provides:
//   static constexpr const char* className;   the name scripts see
//   static constexpr EArgRule argRule;         how its methods read arguments
//   static const SLuaMethod<T> methods[];      ends with {nullptr, nullptr}
//   static T* construct(const CLuaArgs& args); builds an object from the
//       constructor's arguments; it may raise a script error, but only before
//       it allocates anything; null makes the call return nil
//   a public destructor (virtual when T is a base).
//
// Script side: WChar("a") and WChar:new("a") both construct (the constructor
// always skips its first argument, the class table); obj:method(...) calls a
// method, which raises "bad argument #1 to 'method' (T::className expected,
// got ...)" when obj is anything else.
//
// A userdata holds the object's pointer and the address of T::className as
// the class's tag. A method call recognises its object by the userdata's size
// and tag, with no registry lookup and no metatable on the stack (no other
// userdata in the process has this size with such an address in it), and the
// object stays on the stack while the method reads its arguments after it.
#pragma once

#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <lua.hpp>

#include <cstddef>
#include <utility>

namespace zu::lua
{

template <class T> class LuaClassBinder
{
    struct SSlot
    {
        T* object;
        const void* tag;
    };
    static const void* tag() { return &T::className; }

public:
    // Builds the class table and the metatable in this state. Once per state.
    static void install(lua_State* L)
    {
        lua_newtable(L);
        int classTable = lua_gettop(L);
        luaL_newmetatable(L, T::className);
        int meta = lua_gettop(L);

        lua_pushvalue(L, classTable);
        lua_setglobal(L, T::className);
        // getmetatable(obj) yields the class table; the real metatable stays hidden.
        lua_pushvalue(L, classTable);
        lua_setfield(L, meta, "__metatable");
        lua_pushvalue(L, classTable);
        lua_setfield(L, meta, "__index");
        lua_pushcfunction(L, toString);
        lua_setfield(L, meta, "__tostring");
        lua_pushcfunction(L, collect);
        lua_setfield(L, meta, "__gc");

        lua_newtable(L);
        lua_pushstring(L, T::className);
        lua_pushcclosure(L, constructor, 1);
        lua_pushvalue(L, -1);
        lua_setfield(L, classTable, "new");
        lua_setfield(L, -2, "__call");
        lua_setmetatable(L, classTable);

        size_t i = 0;
        for (const SLuaMethod<T>* entry = T::methods; entry->name; ++entry, ++i)
        {
            lua_pushstring(L, entry->name);
            if (i < MAX_FAST_METHODS)
                lua_pushcclosure(L, fastMethod(i, std::make_index_sequence<MAX_FAST_METHODS>()), 1);
            else
            {
                lua_pushlightuserdata(L, const_cast<SLuaMethod<T>*>(entry));
                lua_pushcclosure(L, callMethod, 2);
            }
            lua_setfield(L, classTable, entry->name);
        }
        lua_pop(L, 2);
    }

    // Leaves the object's userdata on the stack (nil for null), making it on
    // first use. Raises "<name> missing metatable" when install() was not run.
    static void push(lua_State* L, T* object)
    {
        if (!object)
        {
            lua_pushnil(L);
            return;
        }
        luaL_getmetatable(L, T::className);
        if (!lua_istable(L, -1))
            luaL_error(L, "%s missing metatable", T::className);
        int meta = lua_gettop(L);
        // One userdata per object while it lives.
        pushWeakValueTable(L, meta, "userdata");
        lua_pushlightuserdata(L, object);
        lua_rawget(L, -2);
        if (lua_isnil(L, -1))
        {
            lua_pop(L, 1);
            auto* slot = static_cast<SSlot*>(lua_newuserdata(L, sizeof(SSlot)));
            slot->object = object;
            slot->tag = tag();
            lua_pushvalue(L, meta);
            lua_setmetatable(L, -2);
            lua_pushlightuserdata(L, object);
            lua_pushvalue(L, -2);
            lua_rawset(L, -4);
        }
        lua_replace(L, meta);
        lua_settop(L, meta);
    }

    // The object of argument n; raises the argument error naming
    // T::className for anything else.
    static T* check(const CLuaArgs& args, int n)
    {
        T* object = test(args.state(), args.index(n));
        if (!object)
            args.typeError(n, T::className);
        return object;
    }

    // The object of the userdata at `index`, or null when it is none of ours.
    // A released object (its userdata collected and then revived by a
    // finaliser) is none either.
    static T* test(lua_State* L, int index)
    {
        // A light userdata has no length, so only a full one gets this far.
        void* data = lua_touserdata(L, index);
        if (!data || lua_objlen(L, index) != sizeof(SSlot))
            return nullptr;
        const SSlot* slot = static_cast<const SSlot*>(data);
        return slot->tag == tag() ? slot->object : nullptr;
    }

    // Enters (or removes) the userdata at `index` in the "do not trash"
    // table: while entered, the collector never deletes its object, and the
    // entry keeps the userdata alive until the state closes.
    static void setDoNotTrash(lua_State* L, int index, bool keep)
    {
        if (!test(L, index))
            return;
        index = index > 0 ? index : lua_gettop(L) + index + 1;
        luaL_getmetatable(L, T::className);
        lua_getfield(L, -1, "do not trash");
        if (!lua_istable(L, -1))
        {
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushvalue(L, -1);
            lua_setfield(L, -3, "do not trash");
        }
        lua_pushvalue(L, index);
        if (keep)
            lua_pushboolean(L, 1);
        else
            lua_pushnil(L);
        lua_rawset(L, -3);
        lua_pop(L, 2);
    }

private:
    static int constructor(lua_State* L)
    {
        CLuaArgs args(L, T::argRule, 1, true);
        push(L, T::construct(args));
        return 1;
    }

    // The first methods of the list each get a function of their own that
    // knows its entry, so a call reads no upvalue; the rest share one that
    // finds its entry in an upvalue.
    static constexpr size_t MAX_FAST_METHODS = 128;

    // Upvalue: the method's name (for argument errors).
    template <size_t I> static int callFastMethod(lua_State* L)
    {
        CLuaArgs args(L, T::argRule, 1);
        T* object = test(L, 1);
        if (!object)
            args.typeError(0, T::className);
        return (object->*(T::methods[I].method))(args);
    }

    template <size_t... I> static lua_CFunction fastMethod(size_t i, std::index_sequence<I...>)
    {
        static const lua_CFunction functions[] = {&callFastMethod<I>...};
        return functions[i];
    }

    // Upvalues: the method's name, its list entry.
    static int callMethod(lua_State* L)
    {
        CLuaArgs args(L, T::argRule, 1);
        T* object = test(L, 1);
        if (!object)
            args.typeError(0, T::className);
        auto* entry = static_cast<const SLuaMethod<T>*>(lua_touserdata(L, lua_upvalueindex(2)));
        return (object->*(entry->method))(args);
    }

    static int toString(lua_State* L)
    {
        auto* slot = static_cast<SSlot*>(luaL_checkudata(L, 1, T::className));
        lua_pushfstring(L, "%s (%p)", T::className, static_cast<void*>(slot->object));
        return 1;
    }

    static int collect(lua_State* L)
    {
        auto* slot = static_cast<SSlot*>(luaL_checkudata(L, 1, T::className));
        if (!slot->object)
            return 0;
        lua_getmetatable(L, 1);
        int meta = lua_gettop(L);
        lua_getfield(L, meta, "do not trash");
        if (lua_istable(L, -1))
        {
            lua_pushvalue(L, 1);
            lua_rawget(L, -2);
            if (!lua_isnil(L, -1))
                return 0;
        }
        T* object = slot->object;
        slot->object = nullptr;
        // A new object may later get this address: it must not find this
        // userdata in the map.
        lua_getfield(L, meta, "userdata");
        if (lua_istable(L, -1))
        {
            lua_pushlightuserdata(L, object);
            lua_rawget(L, -2);
            bool mapsHere = lua_rawequal(L, -1, 1) != 0;
            lua_pop(L, 1);
            if (mapsHere)
            {
                lua_pushlightuserdata(L, object);
                lua_pushnil(L);
                lua_rawset(L, -3);
            }
        }
        delete object;
        return 0;
    }
};

} // namespace zu::lua
