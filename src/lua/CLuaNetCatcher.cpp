#include "lua/CLuaNetCatcher.h"

#include "lua/CLuaNetBind.h"
#include "lua/LuaPacketTable.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "net/CVariablePacketParser.h"
#include "other/IKelvoDevice.h"

#include <cstring>

namespace zu::lua
{

CLuaNetCatcher::CLuaNetCatcher(lua_State* L, IKelvoDevice* device, const core::CString& name,
                               bool raw)
    : m_state(L), m_device(device), m_name(name), m_raw(raw),
      m_bind(std::make_unique<CLuaNetBind>(L, this))
{
}

CLuaNetCatcher::~CLuaNetCatcher()
{
    closeDevice();
    if (m_madeDevice && m_device) m_device->removeNetworkDevice(m_name);
}

bool CLuaNetCatcher::isReleased() const
{
    return !m_bind->hasTable();
}

net::INetworkDevice* CLuaNetCatcher::createDevice()
{
    if (!m_device) return nullptr;
    net::INetworkDevice* device = m_device->createNetworkDevice(m_name, m_raw ? 1 : 0);
    m_madeDevice = device != nullptr;
    return device;
}

template <class PushArgs> void CLuaNetCatcher::callback(const char* name, PushArgs pushArgs)
{
    lua_State* L = m_state;
    const int top = lua_gettop(L);
    m_bind->push();
    if (!lua_istable(L, -1))
    {
        lua_settop(L, top);
        return;
    }
    lua_pushcfunction(L, tracebackHandler);
    // A raw look-up: a metamethod could raise an error here, outside any
    // protected call.
    lua_pushstring(L, name);
    lua_rawget(L, top + 1);
    if (!lua_isfunction(L, -1))
    {
        lua_settop(L, top);
        return;
    }
    lua_pushvalue(L, top + 1);
    const int count = 1 + pushArgs(L);
    if (lua_pcall(L, count, 0, top + 2) != 0)
    {
        const core::CString error = toCString(L, -1);
        size_t start = 0;
        while (true)
        {
            size_t end = error.find('\n', start);
            printThroughScript(L,
                               error.substr(start, end == core::CString::npos ? core::CString::npos
                                                                              : end - start));
            if (end == core::CString::npos) break;
            start = end + 1;
        }
    }
    lua_settop(L, top);
    // The packets the callback sent leave now, together.
    net::CNetSession::flushAll();
}

// callback NetDevice.onHostStarted(self, deviceName)
// The object's host is ready for clients (half a second after startHost).
void CLuaNetCatcher::onHostStarted(const char* deviceName)
{
    callback("onHostStarted",
             [&](lua_State* L)
             {
                 lua_pushstring(L, deviceName);
                 return 1;
             });
}

// callback NetDevice.onClientConnect(self, playerName, clientId)
// A client joined the game this object hosts; send to it with clientId.
void CLuaNetCatcher::onClientConnected(const core::CString& name, int32_t clientId)
{
    callback("onClientConnect",
             [&](lua_State* L)
             {
                 pushText(L, name);
                 lua_pushinteger(L, clientId);
                 return 2;
             });
}

// callback NetDevice.onConnect(self, clientId)
// The host accepted this object as clientId (0 in raw mode): sending works
// from now on.
void CLuaNetCatcher::onConnected(int32_t ownId)
{
    callback("onConnect",
             [&](lua_State* L)
             {
                 lua_pushinteger(L, ownId);
                 return 1;
             });
}

// callback NetDevice.onFail(self, reason)
// Joining failed: "Unable to connect", "Server is full" or "Incorrect game
// version".
void CLuaNetCatcher::onConnectFailed(const char* reason)
{
    callback("onFail",
             [&](lua_State* L)
             {
                 lua_pushstring(L, reason);
                 return 1;
             });
}

// callback NetDevice.onClientDisconnect(self, clientId)
// A client of the game this object hosts left.
void CLuaNetCatcher::onClientDisconnected(int32_t clientId)
{
    callback("onClientDisconnect",
             [&](lua_State* L)
             {
                 lua_pushinteger(L, clientId);
                 return 1;
             });
}

// callback NetDevice.onDisconnect(self)
// The host this object joined went away (or closed the raw connection).
void CLuaNetCatcher::onDisconnected()
{
    callback("onDisconnect", [](lua_State*) { return 0; });
}

// callback NetDevice.onPacket(self, packetId, values, senderId)
// A packet arrived (packet mode): its type, its values as an array, the
// sender's client id (1000: the host).
// callback NetDevice.onData(self, text)
// Bytes arrived on a raw connection, as text up to the first zero byte.
void CLuaNetCatcher::handlePacket(uint8_t* bytes, int32_t length, int32_t clientId)
{
    if (m_raw)
    {
        const size_t size = strnlen(reinterpret_cast<const char*>(bytes), size_t(length));
        callback("onData",
                 [&](lua_State* L)
                 {
                     lua_pushlstring(L, reinterpret_cast<const char*>(bytes), size);
                     return 1;
                 });
        return;
    }
    net::CVariablePacketParser parser(bytes, size_t(length));
    callback("onPacket",
             [&](lua_State* L)
             {
                 lua_pushinteger(L, parser.getType());
                 pushPacketTable(L, parser);
                 lua_pushinteger(L, clientId);
                 return 3;
             });
}

} // namespace zu::lua
