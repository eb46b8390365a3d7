#include "lua/CLuaRaknetLibrary.h"

#include "lua/CLuaRaknetInstance.h"
#include "lua/luaCpp/LuaClassBinder.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/MessageIds.h"

namespace zu::lua
{
namespace
{

CLuaArgs arguments(lua_State* L)
{
    return CLuaArgs(L, CLuaRaknetInstance::argRule);
}

// raknet.create() -> RaknetInstance
// A new peer, as RaknetInstance() makes.
int r_create(lua_State* L)
{
    LuaClassBinder<CLuaRaknetInstance>::push(L, new CLuaRaknetInstance());
    return 1;
}

// raknet.isPortInUse([port [, family]]) -> boolean
// True when a UDP socket of the family ("IPV6", or IPv4 for anything else)
// cannot take the port (19132).
int r_isPortInUse(lua_State* L)
{
    const CLuaArgs args = arguments(L);
    const uint16_t port = uint16_t(args.isNil(1) ? 19132 : args.integerIn(1, 0, 65535));
    const bool ipv6 = args.text(2, "IPV4") == "IPV6";
    lua_pushboolean(L, kelvo::net::rudp::CRakPeer::isPortInUse(
                           port, ipv6 ? kelvo::net::rudp::EF_IPV6 : kelvo::net::rudp::EF_IPV4));
    return 1;
}

// raknet.getBasePacketId() -> 133
// The first packet id free for scripts; lower ones belong to the library.
int r_getBasePacketId(lua_State* L)
{
    lua_pushinteger(L, kelvo::net::rudp::ID_USER_PACKET_ENUM);
    return 1;
}

const luaL_Reg kFunctions[] = {
    {"create", r_create},
    {"isPortInUse", r_isPortInUse},
    {"getBasePacketId", r_getBasePacketId},
    {nullptr, nullptr},
};

} // namespace

void CLuaRaknetLibrary::install(lua_State* L)
{
    installTable(L, "raknet", kFunctions);
    LuaClassBinder<CLuaRaknetInstance>::install(L);
}

} // namespace zu::lua
