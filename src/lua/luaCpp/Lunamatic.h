// Lunamatic<T>: base of native objects that scripts see as plain tables
// carrying their methods (GUI elements, network bindings).
//
// Each object's table holds, at key 0, a light userdata with the object's
// address and, under each name of T::methods, a closure that calls that
// member function on the object found at key 0. Scripts call them with the
// colon form: element:setText("x"). A closure given anything other than such
// a table, or a table whose object is gone, returns nothing and does nothing.
//
// The native owner decides the object's life; the table has no collector.
// Destroying the object clears key 0 of its table (so a script that kept the
// table only gets silent no-ops) and releases the registry reference. If the
// script state is closed before the object, the owner calls forgetLuaState()
// first so the destructor leaves the dead state alone.
//
// An object whose life should follow its table instead calls
// holdTableWeakly(): the registry then keeps the table in a weak-valued
// table, so once the script holds it no more the collector may take it, and
// hasTable() tells the owner that the object can go.
//
// What T provides: it derives from Lunamatic<T> and has
//   static constexpr EArgRule argRule;      how its methods read arguments
//   static const SLuaMethod<T> methods[];   ends with {nullptr, nullptr}
// Derived constructors may add their own fields to the table (see push()).
#pragma once

#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <lua.hpp>

#include <unordered_set>

namespace zu::lua
{

template <class T> class Lunamatic
{
public:
    explicit Lunamatic(lua_State* L) : m_luaState(L)
    {
        lua_newtable(L);
        lua_pushvalue(L, -1);
        m_tableRef = luaL_ref(L, LUA_REGISTRYINDEX);
        lua_pushlightuserdata(L, address());
        lua_rawseti(L, -2, 0);
        for (const SLuaMethod<T>* entry = T::methods; entry->name; ++entry)
        {
            lua_pushstring(L, entry->name);
            lua_pushlightuserdata(L, const_cast<SLuaMethod<T>*>(entry));
            lua_pushcclosure(L, dispatch, 2);
            lua_setfield(L, -2, entry->name);
        }
        lua_pop(L, 1);
        liveObjects().insert(address());
    }

    virtual ~Lunamatic()
    {
        liveObjects().erase(address());
        if (!m_luaState)
            return;
        push();
        if (lua_istable(m_luaState, -1))
        {
            lua_pushnil(m_luaState);
            lua_rawseti(m_luaState, -2, 0);
        }
        lua_pop(m_luaState, 1);
        if (m_weak)
        {
            pushWeakTables(m_luaState);
            lua_pushlightuserdata(m_luaState, address());
            lua_pushnil(m_luaState);
            lua_rawset(m_luaState, -3);
            lua_pop(m_luaState, 1);
        }
        else
            luaL_unref(m_luaState, LUA_REGISTRYINDEX, m_tableRef);
        m_luaState = nullptr;
    }

    Lunamatic(const Lunamatic&) = delete;
    Lunamatic& operator=(const Lunamatic&) = delete;

    // Pushes the object's table, or nil once the collector took a weakly
    // held one. Pushes nothing once the state is forgotten.
    void push() const
    {
        if (!m_luaState)
            return;
        if (!m_weak)
        {
            lua_rawgeti(m_luaState, LUA_REGISTRYINDEX, m_tableRef);
            return;
        }
        pushWeakTables(m_luaState);
        lua_pushlightuserdata(m_luaState, const_cast<Lunamatic*>(this)->address());
        lua_rawget(m_luaState, -2);
        lua_remove(m_luaState, -2);
    }

    // False once the collector took a weakly held table (or the state is
    // forgotten).
    bool hasTable() const
    {
        if (!m_luaState)
            return false;
        push();
        const bool present = lua_istable(m_luaState, -1);
        lua_pop(m_luaState, 1);
        return present;
    }

    lua_State* getLuaState() const { return m_luaState; }

    // For an owner that outlives the script state: after this the object
    // touches no script state again.
    void forgetLuaState() { m_luaState = nullptr; }

protected:
    // From now on the table lives only as long as the script holds it.
    void holdTableWeakly()
    {
        if (m_weak || !m_luaState)
            return;
        pushWeakTables(m_luaState);
        lua_pushlightuserdata(m_luaState, address());
        lua_rawgeti(m_luaState, LUA_REGISTRYINDEX, m_tableRef);
        lua_rawset(m_luaState, -3);
        lua_pop(m_luaState, 1);
        luaL_unref(m_luaState, LUA_REGISTRYINDEX, m_tableRef);
        m_tableRef = LUA_NOREF;
        m_weak = true;
    }

    lua_State* m_luaState;
    int m_tableRef = LUA_NOREF;
    // Free for derived classes (a callback reference, say); the binder never
    // reads it.
    int m_scriptRef = -1;

private:
    void* address() { return static_cast<Lunamatic*>(this); }

    // The registry's table of weakly held object tables, by object address.
    static void pushWeakTables(lua_State* L)
    {
        pushWeakValueTable(L, LUA_REGISTRYINDEX, "zu.Lunamatic.weak");
    }

    bool m_weak = false;

    // Every live object of this class, so a closure never calls through an
    // address that is stale or belongs to another class.
    static std::unordered_set<void*>& liveObjects()
    {
        static std::unordered_set<void*> objects;
        return objects;
    }

    // Upvalues: the method's name, its list entry.
    static int dispatch(lua_State* L)
    {
        if (!lua_istable(L, 1))
            return 0;
        lua_rawgeti(L, 1, 0);
        void* object = lua_type(L, -1) == LUA_TLIGHTUSERDATA ? lua_touserdata(L, -1) : nullptr;
        lua_pop(L, 1);
        if (!object || !liveObjects().count(object))
            return 0;
        CLuaArgs args(L, T::argRule, 1);
        auto* entry = static_cast<const SLuaMethod<T>*>(lua_touserdata(L, lua_upvalueindex(2)));
        T* self = static_cast<T*>(static_cast<Lunamatic*>(object));
        return (self->*(entry->method))(args);
    }
};

} // namespace zu::lua
