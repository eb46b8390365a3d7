// CLuaNetCatcher: the native side of one network object of the `net` table:
// its session over a network device of its own (named "lnd" and a number,
// in packet or raw mode) and the calls of the callbacks the script stored in
// the object's table, on the main thread while the library polls.
//
// A callback is looked up by name each time, in the object's own fields
// (no metatable is consulted), and called only when the field holds a
// function, with the object first. An error in it is printed with
// its traceback through the script's print; the object stays usable. Once
// the script's object is gone, nothing is delivered any more.
#pragma once

#include "core/CString.h"
#include "net/CNetSession.h"

#include <memory>

#include <lua.hpp>

namespace zu
{
class IKelvoDevice;
}

namespace zu::lua
{

class CLuaNetBind;

class CLuaNetCatcher : public net::CNetSession
{
  public:
    // Leaves the state's stack as it was.
    CLuaNetCatcher(lua_State* L, IKelvoDevice* device, const core::CString& name, bool raw);
    // Closes the connections and removes the network device from the
    // device; the script state must still be open.
    ~CLuaNetCatcher() override;
    CLuaNetCatcher(const CLuaNetCatcher&) = delete;
    CLuaNetCatcher& operator=(const CLuaNetCatcher&) = delete;

    const core::CString& getName() const { return m_name; }
    bool isRaw() const { return m_raw; }
    CLuaNetBind& getBind() { return *m_bind; }
    // The script no longer holds the object, and the collector took it.
    bool isReleased() const;

  protected:
    net::INetworkDevice* createDevice() override;
    void onHostStarted(const char* deviceName) override;
    void onClientConnected(const core::CString& name, int32_t clientId) override;
    void onConnected(int32_t ownId) override;
    void onConnectFailed(const char* reason) override;
    void onClientDisconnected(int32_t clientId) override;
    void onDisconnected() override;
    void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) override;

  private:
    // Calls the object's callback `name` with the object and what pushArgs
    // pushes (it returns their count).
    template <class PushArgs> void callback(const char* name, PushArgs pushArgs);

    lua_State* m_state;
    IKelvoDevice* m_device;
    core::CString m_name;
    bool m_raw;
    bool m_madeDevice = false;
    std::unique_ptr<CLuaNetBind> m_bind;
};

} // namespace zu::lua
