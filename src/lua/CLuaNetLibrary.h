// CLuaNetLibrary: the script table `net`, which makes network objects: each
// a session of its own over its own network device, in packet mode (the
// session protocol, like the built-in session of kelvo) or raw mode (plain
// text to any TCP server).
//
// The library holds every object's catcher, in order of creation, polls them
// once a frame (just before frameUpdate) and lets an object go once the
// script dropped it and the collector took it: its connections close and its
// device is removed. It must be deleted while the script state is still open.
#pragma once

#include "core/CString.h"

#include <memory>
#include <vector>

#include <lua.hpp>

namespace zu
{
class IKelvoDevice;
}

namespace zu::lua
{

class CLuaNetCatcher;

class CLuaNetLibrary
{
  public:
    // The device may be null: createDevice then gives nil. The newest
    // library is the one the table uses.
    CLuaNetLibrary(IKelvoDevice* device, lua_State* L);
    ~CLuaNetLibrary();
    CLuaNetLibrary(const CLuaNetLibrary&) = delete;
    CLuaNetLibrary& operator=(const CLuaNetLibrary&) = delete;

    // Registers the table `net` in the state.
    void install(lua_State* L);

    // The frame's turn: lets released objects go, then delivers what every
    // other object's session received, object by object.
    void poll();

    // A new object, its table pushed; nil when there is no device.
    int createDevice(bool raw);

    size_t getObjectCount() const { return m_catchers.size(); }

  private:
    // Lets go of the objects the script no longer holds.
    void reap();

    IKelvoDevice* m_device;
    lua_State* m_state;
    int m_counter = 0;
    bool m_polling = false;
    std::vector<std::unique_ptr<CLuaNetCatcher>> m_catchers;
};

} // namespace zu::lua
