// CLuaRaknetLibrary: the script table raknet and the class RaknetInstance,
// reliable-UDP peers for scripts (src/net/rudp).
//
// A RaknetInstance is one peer. Scripts take its packets themselves with
// nextPacket, on the main thread, as often as they like; the peer's own
// network thread receives and sends meanwhile. Peers are named by their GUID
// text, addresses as "a.b.c.d|port".
#pragma once

#include <lua.hpp>

namespace zu::lua
{

class CLuaRaknetLibrary
{
  public:
    // The default host of a NAT punch-through facilitator: one the game
    // maker runs (tools/facilitator) on this machine.
    static constexpr const char* DEFAULT_FACILITATOR = "127.0.0.1";

    // Registers the table raknet and the class RaknetInstance in the state.
    static void install(lua_State* L);
};

} // namespace zu::lua
