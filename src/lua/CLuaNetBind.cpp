#include "lua/CLuaNetBind.h"

#include "lua/CLuaNetCatcher.h"
#include "lua/LuaPacketTable.h"
#include "net/CVariablePacketBuilder.h"

namespace zu::lua
{

const SLuaMethod<CLuaNetBind> CLuaNetBind::methods[] = {
    {"startHost", &CLuaNetBind::startHost},
    {"joinHost", &CLuaNetBind::joinHost},
    {"sendPacket", &CLuaNetBind::sendPacket},
    {"broadcastPacket", &CLuaNetBind::broadcastPacket},
    {"sendData", &CLuaNetBind::sendData},
    {"disconnect", &CLuaNetBind::disconnect},
    {nullptr, nullptr},
};

CLuaNetBind::CLuaNetBind(lua_State* L, CLuaNetCatcher* catcher) : Lunamatic(L), m_catcher(catcher)
{
    holdTableWeakly();
}

bool CLuaNetBind::canSendPackets() const
{
    return !m_catcher->isRaw() && m_catcher->isActive();
}

// NetDevice:startHost([game [, player [, port [, maxClients]]]]) -> boolean
// Hosts the game (default "luaGame") on port (default 3000) for up to
// maxClients - 1 clients (default 8), ending any session of this object
// first. False when the port is taken or the object is in raw mode.
int CLuaNetBind::startHost(const CLuaArgs& args)
{
    core::CString game = args.text(1, "luaGame"), player = args.text(2, "luaClient");
    int32_t port = args.int32(3, 3000), maxClients = args.int32(4, 8);
    lua_pushboolean(args.state(), m_catcher->startHost(game, player, port, maxClients));
    return 1;
}

// NetDevice:joinHost([game [, player [, host [, port]]]]) -> nothing
// Joins the game (default "luaGame") hosted at host (default "localhost")
// on port (default 3000) as player (default "luaClient"), ending any session
// of this object first; onConnect or onFail follows. In raw mode it opens a
// plain connection to any server.
int CLuaNetBind::joinHost(const CLuaArgs& args)
{
    core::CString game = args.text(1, "luaGame"), player = args.text(2, "luaClient");
    core::CString host = args.text(3, "localhost");
    int32_t port = args.int32(4, 3000);
    m_catcher->joinHost(game, player, host, port);
    return 0;
}

// NetDevice:sendPacket(clientId, packetId, values) -> nothing
// As kelvo.sendPacket, for this object's session: packet mode only, once
// connected.
int CLuaNetBind::sendPacket(const CLuaArgs& args)
{
    int32_t clientId = args.int32(1);
    int64_t packetId = args.integer(2);
    net::CVariablePacketBuilder& builder = sharedPacketBuilder();
    if (writePacketArgument(args, 3, packetId, canSendPackets(), builder))
        m_catcher->sendPacket(clientId, builder.data(), builder.size());
    return 0;
}

// NetDevice:broadcastPacket(packetId, values) -> nothing
// As kelvo.broadcastPacket: to every client of the game this object hosts.
int CLuaNetBind::broadcastPacket(const CLuaArgs& args)
{
    int64_t packetId = args.integer(1);
    net::CVariablePacketBuilder& builder = sharedPacketBuilder();
    if (writePacketArgument(args, 2, packetId, canSendPackets(), builder))
        m_catcher->broadcastPacket(builder.data(), builder.size());
    return 0;
}

// NetDevice:sendData(text) -> nothing
// Raw mode, once connected: sends the text's bytes (up to a zero byte, if
// it holds one), without a terminator, to the server.
int CLuaNetBind::sendData(const CLuaArgs& args)
{
    core::CString text = args.text(1);
    if (m_catcher->isRaw()) m_catcher->sendText(text);
    return 0;
}

// NetDevice:disconnect() -> nothing
// Ends this object's session: its connections close and nothing more of it
// is delivered. The object can host or join again.
int CLuaNetBind::disconnect(const CLuaArgs&)
{
    m_catcher->disconnect();
    return 0;
}

} // namespace zu::lua
