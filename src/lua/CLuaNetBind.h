// CLuaNetBind: what a script holds of a network object made by
// net.createDevice: a table carrying the methods, where the script also
// stores its callbacks (onPacket, onConnect, ...; see CLuaNetCatcher). The
// methods read their arguments and hand the work to the object's catcher.
//
// The table follows the script's references: once the script holds it no
// more and the collector took it, the library lets the object go, its
// connections closed.
#pragma once

#include "lua/luaCpp/Lunamatic.h"

namespace zu::lua
{

class CLuaNetCatcher;

class CLuaNetBind : public Lunamatic<CLuaNetBind>
{
  public:
    // The name the script reference gives these objects.
    static constexpr const char* className = "NetDevice";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaNetBind> methods[];

    CLuaNetBind(lua_State* L, CLuaNetCatcher* catcher);

    int startHost(const CLuaArgs& args);
    int joinHost(const CLuaArgs& args);
    int sendPacket(const CLuaArgs& args);
    int broadcastPacket(const CLuaArgs& args);
    int sendData(const CLuaArgs& args);
    int disconnect(const CLuaArgs& args);

  private:
    // Packet mode and connected.
    bool canSendPackets() const;

    CLuaNetCatcher* m_catcher;
};

} // namespace zu::lua
