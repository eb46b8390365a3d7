// CLuaKelvoLibrary: the script table `kelvo`: the window, input state,
// timing, folders, the built-in network session and printing. Each function
// reads its arguments strictly (a wrong type raises the argument error
// naming the function) and calls the device or the host.
#pragma once

#include <lua.hpp>

namespace zu
{
class ITimer;
}

namespace zu::lua
{

class IKelvoHost;

class CLuaKelvoLibrary
{
  public:
    // The host may be null: the functions that need it then do nothing and
    // return their empty results. The newest library is the one in use.
    explicit CLuaKelvoLibrary(IKelvoHost* host);
    ~CLuaKelvoLibrary();
    CLuaKelvoLibrary(const CLuaKelvoLibrary&) = delete;
    CLuaKelvoLibrary& operator=(const CLuaKelvoLibrary&) = delete;

    // Registers the table `kelvo` in the state.
    void install(lua_State* L);

    IKelvoHost* getHost() const { return m_host; }
    // The device's timer, found once: scripts ask for the time often.
    ITimer* getTimer();

  private:
    IKelvoHost* m_host;
    ITimer* m_timer = nullptr;
};

} // namespace zu::lua
