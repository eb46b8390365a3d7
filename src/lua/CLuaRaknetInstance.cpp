#include "lua/CLuaRaknetInstance.h"

#include "core/Output.h"
#include "core/Utf16.h"
#include "lua/CLuaRaknetLibrary.h"
#include "lua/CLuaWChar.h"
#include "lua/luaCpp/LuaClassBinder.h"
#include "net/rudp/CBitStream.h"
#include "net/rudp/CNatPunchthroughClient.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/CUdpSocket.h"
#include "net/rudp/MessageIds.h"
#include "net/rudp/NatPunchthrough.h"

#include <string>

namespace zu::lua
{

namespace rudp = kelvo::net::rudp;
using core::CString;

const SLuaMethod<CLuaRaknetInstance> CLuaRaknetInstance::methods[] = {
    {"host", &CLuaRaknetInstance::host},
    {"connect", &CLuaRaknetInstance::connect},
    {"getMyGuid", &CLuaRaknetInstance::getMyGuid},
    {"getAveragePing", &CLuaRaknetInstance::getAveragePing},
    {"nextPacket", &CLuaRaknetInstance::nextPacket},
    {"releasePacket", &CLuaRaknetInstance::releasePacket},
    {"getPacketSenderAddress", &CLuaRaknetInstance::getPacketSenderAddress},
    {"createPacket", &CLuaRaknetInstance::createPacket},
    {"send", &CLuaRaknetInstance::send},
    {"broadcast", &CLuaRaknetInstance::broadcast},
    {"getPacketName", &CLuaRaknetInstance::getPacketName},
    {"readBoolean", &CLuaRaknetInstance::readBoolean},
    {"readByte", &CLuaRaknetInstance::readByte},
    {"readShort", &CLuaRaknetInstance::readShort},
    {"readInt", &CLuaRaknetInstance::readInt},
    {"readFloat", &CLuaRaknetInstance::readFloat},
    {"readShortFloat", &CLuaRaknetInstance::readShortFloat},
    {"readString", &CLuaRaknetInstance::readString},
    {"readWideString", &CLuaRaknetInstance::readWideString},
    {"readSystemAddress", &CLuaRaknetInstance::readSystemAddress},
    {"readTime", &CLuaRaknetInstance::readTime},
    {"readGuid", &CLuaRaknetInstance::readGuid},
    {"writeBoolean", &CLuaRaknetInstance::writeBoolean},
    {"writeByte", &CLuaRaknetInstance::writeByte},
    {"writeShort", &CLuaRaknetInstance::writeShort},
    {"writeInt", &CLuaRaknetInstance::writeInt},
    {"writeFloat", &CLuaRaknetInstance::writeFloat},
    {"writeShortFloat", &CLuaRaknetInstance::writeShortFloat},
    {"writeString", &CLuaRaknetInstance::writeString},
    {"writeWideString", &CLuaRaknetInstance::writeWideString},
    {"writeSystemAddress", &CLuaRaknetInstance::writeSystemAddress},
    {"writeTime", &CLuaRaknetInstance::writeTime},
    {"writeGuid", &CLuaRaknetInstance::writeGuid},
    {"attachToNatPunchthrough", &CLuaRaknetInstance::attachToNatPunchthrough},
    {"openNat", &CLuaRaknetInstance::openNat},
    {"setUnconnectedPingResponse", &CLuaRaknetInstance::setUnconnectedPingResponse},
    {"sendPing", &CLuaRaknetInstance::sendPing},
    {nullptr, nullptr},
};

namespace
{

const char* const STARTUP_ERRORS[] = {
    "RAKNET_ALREADY_STARTED",      "INVALID_SOCKET_DESCRIPTORS",      "INVALID_MAX_CONNECTIONS",
    "SOCKET_FAMILY_NOT_SUPPORTED", "SOCKET_PORT_ALREADY_IN_USE",      "SOCKET_FAILED_TO_BIND",
    "SOCKET_FAILED_TEST_SEND",     "FAILED_TO_CREATE_NETWORK_THREAD",
};
const char* const CONNECT_ERRORS[] = {
    "INVALID_PARAMETER",
    "CANNOT_RESOLVE_DOMAIN_NAME",
    "ALREADY_CONNECTED_TO_ENDPOINT",
    "CONNECTION_ATTEMPT_ALREADY_IN_PROGRESS",
    "SECURITY_INITIALIZATION_FAILED",
};

// Waiting for connected systems to acknowledge the notice of a shut-down:
// before a restart, and when the instance is collected.
constexpr unsigned RESTART_WAIT = 500;
constexpr unsigned COLLECT_WAIT = 100;
constexpr int DEFAULT_PORT = 19132;
constexpr unsigned CONNECT_ATTEMPTS = 12;
constexpr unsigned CONNECT_INTERVAL = 500;

rudp::EFamily familyArgument(const CLuaArgs& args, int n)
{
    return args.text(n, "IPV4") == "IPV6" ? rudp::EF_IPV6 : rudp::EF_IPV4;
}

uint16_t portArgument(const CLuaArgs& args, int n, int fallback)
{
    return uint16_t(args.isNil(n) ? fallback : args.integerIn(n, 0, 65535));
}

// GUID text; an unassigned GUID for nil or text that is none.
rudp::SGuid guidArgument(const CLuaArgs& args, int n)
{
    rudp::SGuid guid;
    if (!args.isNil(n))
        rudp::SGuid::fromString(std::string(args.text(n).c_str(), args.text(n).size()), guid);
    return guid;
}

void pushText(lua_State* L, const std::string& text)
{
    lua_pushlstring(L, text.data(), text.size());
}

uint64_t readBE64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | p[i];
    return v;
}

// Pushes the value the read gives, converted by push, or nil when there is
// no stream or it holds too few bits.
template <class T, class Read, class Push>
int pushRead(lua_State* L, rudp::CBitStream* stream, Read read, Push push)
{
    T v{};
    if (!stream || !read(*stream, v))
        lua_pushnil(L);
    else
        push(L, v);
    return 1;
}

template <class T> void pushInteger(lua_State* L, T v)
{
    lua_pushinteger(L, lua_Integer(v));
}

} // namespace

// RaknetInstance() -> RaknetInstance
// A new peer, not started yet: host, connect or sendPing start it. Its
// connections ping each other now and then, so getAveragePing stays current.
CLuaRaknetInstance* CLuaRaknetInstance::construct(const CLuaArgs&)
{
    return new CLuaRaknetInstance();
}

CLuaRaknetInstance::CLuaRaknetInstance() : m_peer(new rudp::CRakPeer())
{
    m_peer->setOccasionalPing(true);
}

CLuaRaknetInstance::~CLuaRaknetInstance()
{
    stop(COLLECT_WAIT);
    if (m_nat) m_peer->detachPlugin(m_nat.get());
    m_peer.reset();
}

void CLuaRaknetInstance::stop(unsigned blockMs)
{
    if (m_started) m_peer->shutdown(blockMs);
    m_started = false;
}

int CLuaRaknetInstance::pushResult(lua_State* L, int result, const char* const* names, int count)
{
    lua_pushboolean(L, result == 0);
    if (result == 0)
        lua_pushliteral(L, "");
    else if (result >= 1 && result <= count)
        lua_pushstring(L, names[result - 1]);
    else
        lua_pushliteral(L, "UNKNOWN_ERROR");
    return 2;
}

// RaknetInstance:host([port [, maxConnections [, family]]]) -> true, "" | false, error
// Starts the peer on the port (19132) for up to maxConnections (32) systems
// connecting in; family "IPV6" for IPv6, anything else IPv4. A started peer
// is shut down first (its connections are told). error names what failed,
// for example "SOCKET_PORT_ALREADY_IN_USE".
int CLuaRaknetInstance::host(const CLuaArgs& args)
{
    const uint16_t port = portArgument(args, 1, DEFAULT_PORT);
    const int64_t connections = args.isNil(2) ? 32 : args.integerIn(2, 0, 65535);
    rudp::SSocketDescriptor socket;
    socket.port = port;
    socket.family = familyArgument(args, 3);
    stop(RESTART_WAIT);
    m_peer->setMaximumIncomingConnections(unsigned(connections));
    const rudp::EStartupResult result = m_peer->startup(unsigned(connections), socket);
    m_started = result == rudp::SR_STARTED;
    return pushResult(args.state(), result, STARTUP_ERRORS, 8);
}

// RaknetInstance:connect([host [, port [, family]]]) -> true, "" | false, error
// Starts the peer on a free port and begins connecting to host ("127.0.0.1")
// at port (19132): 12 attempts half a second apart. The outcome arrives as a
// packet: ID_CONNECTION_REQUEST_ACCEPTED, ID_CONNECTION_ATTEMPT_FAILED, a
// refusal such as ID_NO_FREE_INCOMING_CONNECTIONS. A started peer is shut
// down first, and the current packet released.
int CLuaRaknetInstance::connect(const CLuaArgs& args)
{
    const CString host = args.text(1, "127.0.0.1");
    const uint16_t port = portArgument(args, 2, DEFAULT_PORT);
    rudp::SSocketDescriptor socket;
    socket.family = familyArgument(args, 3);
    m_stream.reset();
    m_packet.reset();
    stop(RESTART_WAIT);
    const rudp::EStartupResult started = m_peer->startup(4, socket);
    if (started != rudp::SR_STARTED) return pushResult(args.state(), started, STARTUP_ERRORS, 8);
    m_started = true;
    const rudp::EConnectResult result = m_peer->connect(std::string(host.c_str(), host.size()),
                                                        port, CONNECT_ATTEMPTS, CONNECT_INTERVAL);
    return pushResult(args.state(), result, CONNECT_ERRORS, 5);
}

// RaknetInstance:getMyGuid() -> guid
// This peer's GUID as text (a new one each time the peer starts).
int CLuaRaknetInstance::getMyGuid(const CLuaArgs& args)
{
    pushText(args.state(), m_peer->getMyGuid().toString());
    return 1;
}

// RaknetInstance:getAveragePing([guid]) -> milliseconds
// The average round trip to the connected peer with that GUID over its last
// pings; -1 without a GUID or a connection to it.
int CLuaRaknetInstance::getAveragePing(const CLuaArgs& args)
{
    const rudp::SGuid guid = guidArgument(args, 1);
    lua_pushinteger(args.state(), guid.isAssigned() ? m_peer->getAveragePing(guid) : -1);
    return 1;
}

// RaknetInstance:nextPacket() -> id, guid, length, age | nil, nil, nil, nil
// Takes the next packet (releasing the current one): its id, the sender's
// GUID, its length in bytes and, for a timestamped packet, its age in
// milliseconds (0 otherwise). A timestamped packet reports the id after the
// timestamp and a length without it. Read the rest with the read methods;
// the packet stays current until the next nextPacket, releasePacket or
// connect.
int CLuaRaknetInstance::nextPacket(const CLuaArgs& args)
{
    lua_State* L = args.state();
    m_stream.reset();
    m_packet.reset();
    std::unique_ptr<rudp::SPacket> packet = m_peer->receive();
    if (!packet || packet->data.empty())
    {
        for (int i = 0; i < 4; ++i)
            lua_pushnil(L);
        return 4;
    }
    const std::vector<uint8_t>& data = packet->data;
    const size_t length = data.size();
    unsigned id = data[0];
    size_t start = 1;
    size_t reported = length;
    int32_t age = 0;
    if (id == rudp::ID_TIMESTAMP && length >= 10)
    {
        const uint64_t sent = readBE64(&data[1]);
        id = data[9];
        start = 10;
        reported = length - 9;
        age = int32_t(uint32_t(rudp::CRakPeer::getTime() - sent));
    }
    m_stream.reset(new rudp::CBitStream(data.data() + start, length - start));
    m_packet = std::move(packet);
    lua_pushinteger(L, lua_Integer(id));
    pushText(L, m_packet->guid.toString());
    lua_pushinteger(L, lua_Integer(reported));
    lua_pushinteger(L, age);
    return 4;
}

// RaknetInstance:releasePacket() -> nothing
// Gives the current packet back early; nothing without one.
int CLuaRaknetInstance::releasePacket(const CLuaArgs&)
{
    if (m_packet)
    {
        m_stream.reset();
        m_packet.reset();
    }
    return 0;
}

// RaknetInstance:getPacketSenderAddress() -> address | nil
// The current packet's sender as "a.b.c.d|port", or nil without a packet.
int CLuaRaknetInstance::getPacketSenderAddress(const CLuaArgs& args)
{
    if (!m_packet) return lua_pushnil(args.state()), 1;
    pushText(args.state(), m_packet->address.toString());
    return 1;
}

// RaknetInstance:createPacket(id [, timestamped]) -> nothing
// Starts building a packet (the current bit stream becomes it) with the id,
// which must be raknet.getBasePacketId() (133) to 255. Timestamped packets
// carry this peer's time, and the receiver's nextPacket reports their age.
// An id of 132 or less prints "Packet ID is in RakNet reserved range" (one
// beyond 255 "Packet ID is beyond 255") and leaves no packet to write to or
// send.
int CLuaRaknetInstance::createPacket(const CLuaArgs& args)
{
    lua_State* L = args.state();
    const int64_t id = args.integer(1);
    const bool timestamped = args.flag(2, false);
    m_stream.reset();
    if (id < rudp::ID_USER_PACKET_ENUM || id > 255)
    {
        lua_getglobal(L, "print");
        lua_pushstring(L, id > 255 ? "Packet ID is beyond 255"
                                   : "Packet ID is in RakNet reserved range");
        lua_call(L, 1, 0);
        return 0;
    }
    m_stream.reset(new rudp::CBitStream());
    if (timestamped)
    {
        m_stream->writeU8(rudp::ID_TIMESTAMP);
        m_stream->writeU64(rudp::CRakPeer::getTime());
    }
    m_stream->writeU8(uint8_t(id));
    return 0;
}

// RaknetInstance:send(guid [, priority [, reliability]]) -> receipt | nil
// Sends the packet being built to the connected peer with the GUID, with
// priority 0 immediate (the default), 1 high, 2 medium, 3 low and
// reliability 0 unreliable, 1 unreliable sequenced, 2 reliable, 3 reliable
// ordered (the default), 4 reliable sequenced (5 to 7: 0, 2 and 3 with
// ID_SND_RECEIPT_ACKED or ID_SND_RECEIPT_LOSS coming back). Returns the send
// receipt number, or nil when nothing was sent. The packet can be sent again.
int CLuaRaknetInstance::send(const CLuaArgs& args)
{
    const rudp::SGuid guid = guidArgument(args, 1);
    const int64_t priority = args.isNil(2) ? 0 : args.integerIn(2, 0, 3);
    const int64_t reliability =
        args.isNil(3) ? int64_t(rudp::RELIABLE_ORDERED) : args.integerIn(3, 0, 255);
    if (!m_stream || !guid.isAssigned()) return lua_pushnil(args.state()), 1;
    const uint32_t receipt =
        m_peer->send(m_stream->data(), m_stream->sizeBytes(), rudp::EPriority(priority),
                     uint8_t(reliability), 0, guid, false);
    if (!receipt) return lua_pushnil(args.state()), 1;
    lua_pushinteger(args.state(), lua_Integer(receipt));
    return 1;
}

// RaknetInstance:broadcast([priority [, reliability [, excludedGuid]]]) -> receipt | nil
// Sends the packet being built to every connected peer but the one with
// excludedGuid (to all without it); priority and reliability as for send.
int CLuaRaknetInstance::broadcast(const CLuaArgs& args)
{
    const int64_t priority = args.isNil(1) ? 0 : args.integerIn(1, 0, 3);
    const int64_t reliability =
        args.isNil(2) ? int64_t(rudp::RELIABLE_ORDERED) : args.integerIn(2, 0, 255);
    const rudp::SGuid excluded = guidArgument(args, 3);
    if (!m_stream) return lua_pushnil(args.state()), 1;
    const uint32_t receipt =
        m_peer->send(m_stream->data(), m_stream->sizeBytes(), rudp::EPriority(priority),
                     uint8_t(reliability), 0, excluded, true);
    if (!receipt) return lua_pushnil(args.state()), 1;
    lua_pushinteger(args.state(), lua_Integer(receipt));
    return 1;
}

// RaknetInstance:getPacketName([id]) -> name
// The name of a packet id ("ID_CONNECTION_REQUEST_ACCEPTED" for 16);
// "Unknown or user-defined" from 133 on.
int CLuaRaknetInstance::getPacketName(const CLuaArgs& args)
{
    const int64_t id = args.integer(1, 0);
    lua_pushstring(args.state(), id < 0 ? rudp::messageName(~0u) : rudp::messageName(unsigned(id)));
    return 1;
}

// RaknetInstance:readBoolean() -> boolean | nil
// One bit.
int CLuaRaknetInstance::readBoolean(const CLuaArgs& args)
{
    return pushRead<bool>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, bool& v) { return s.readBit(v); },
        [](lua_State* L, bool v) { lua_pushboolean(L, v); });
}

// RaknetInstance:readByte() -> 0..255 | nil
int CLuaRaknetInstance::readByte(const CLuaArgs& args)
{
    return pushRead<uint8_t>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, uint8_t& v) { return s.readU8(v); },
        pushInteger<uint8_t>);
}

// RaknetInstance:readShort() -> integer | nil
// A signed 16-bit value.
int CLuaRaknetInstance::readShort(const CLuaArgs& args)
{
    return pushRead<uint16_t>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, uint16_t& v) { return s.readU16(v); },
        [](lua_State* L, uint16_t v) { pushInteger(L, int16_t(v)); });
}

// RaknetInstance:readInt() -> integer | nil
// A signed 32-bit value.
int CLuaRaknetInstance::readInt(const CLuaArgs& args)
{
    return pushRead<uint32_t>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, uint32_t& v) { return s.readU32(v); },
        [](lua_State* L, uint32_t v) { pushInteger(L, int32_t(v)); });
}

// RaknetInstance:readFloat() -> number | nil
// A 32-bit float.
int CLuaRaknetInstance::readFloat(const CLuaArgs& args)
{
    return pushRead<float>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, float& v) { return s.readFloat(v); },
        [](lua_State* L, float v) { lua_pushnumber(L, v); });
}

// RaknetInstance:readShortFloat([min [, max]]) -> number | nil
// A float written by writeShortFloat over the same range (0 to 1 unless given).
int CLuaRaknetInstance::readShortFloat(const CLuaArgs& args)
{
    const float min = args.toFloat(1, 0.f);
    const float max = args.toFloat(2, 1.f);
    return pushRead<float>(
        args.state(), m_stream.get(),
        [&](rudp::CBitStream& s, float& v) { return s.readFloat16(v, min, max); },
        [](lua_State* L, float v) { lua_pushnumber(L, v); });
}

// RaknetInstance:readString() -> text | nil
// A text written by writeString (a 16-bit length, then its bytes).
int CLuaRaknetInstance::readString(const CLuaArgs& args)
{
    return pushRead<std::string>(
        args.state(), m_stream.get(),
        [](rudp::CBitStream& s, std::string& v) { return s.readString(v); },
        [](lua_State* L, const std::string& v) { pushText(L, v); });
}

// RaknetInstance:readWideString() -> text | nil
// A text written by writeWideString (a 16-bit count, then its 16-bit units),
// as UTF-8 text.
int CLuaRaknetInstance::readWideString(const CLuaArgs& args)
{
    return pushRead<std::u16string>(
        args.state(), m_stream.get(),
        [](rudp::CBitStream& s, std::u16string& v) { return s.readWideString(v); },
        [](lua_State* L, const std::u16string& v) {
            core::CString text = core::utf16ToUtf8(v.data(), v.size());
            lua_pushlstring(L, text.data(), text.size());
        });
}

// RaknetInstance:readSystemAddress() -> address | nil
// An address written by writeSystemAddress, as "a.b.c.d|port".
int CLuaRaknetInstance::readSystemAddress(const CLuaArgs& args)
{
    return pushRead<rudp::SSystemAddress>(
        args.state(), m_stream.get(),
        [](rudp::CBitStream& s, rudp::SSystemAddress& v) { return s.readAddress(v); },
        [](lua_State* L, const rudp::SSystemAddress& v) { pushText(L, v.toString()); });
}

// RaknetInstance:readTime() -> integer | nil
// A 64-bit time; its low 32 bits as a signed integer.
int CLuaRaknetInstance::readTime(const CLuaArgs& args)
{
    return pushRead<uint64_t>(
        args.state(), m_stream.get(), [](rudp::CBitStream& s, uint64_t& v) { return s.readU64(v); },
        [](lua_State* L, uint64_t v) { pushInteger(L, int32_t(uint32_t(v))); });
}

// RaknetInstance:readGuid() -> guid | nil
int CLuaRaknetInstance::readGuid(const CLuaArgs& args)
{
    return pushRead<rudp::SGuid>(
        args.state(), m_stream.get(),
        [](rudp::CBitStream& s, rudp::SGuid& v) { return s.readGuid(v); },
        [](lua_State* L, rudp::SGuid v) { pushText(L, v.toString()); });
}

// RaknetInstance:writeBoolean(flag) -> nothing
// One bit: true for anything but nil and false.
int CLuaRaknetInstance::writeBoolean(const CLuaArgs& args)
{
    const bool v = args.flag(1, false);
    if (m_stream) m_stream->writeBit(v);
    return 0;
}

// RaknetInstance:writeByte(n) -> nothing
// The low 8 bits of n.
int CLuaRaknetInstance::writeByte(const CLuaArgs& args)
{
    const int64_t v = args.integer(1);
    if (m_stream) m_stream->writeU8(uint8_t(v));
    return 0;
}

// RaknetInstance:writeShort(n) -> nothing
// The low 16 bits of n.
int CLuaRaknetInstance::writeShort(const CLuaArgs& args)
{
    const int64_t v = args.integer(1);
    if (m_stream) m_stream->writeU16(uint16_t(v));
    return 0;
}

// RaknetInstance:writeInt(n) -> nothing
// The low 32 bits of n.
int CLuaRaknetInstance::writeInt(const CLuaArgs& args)
{
    const int64_t v = args.integer(1);
    if (m_stream) m_stream->writeU32(uint32_t(v));
    return 0;
}

// RaknetInstance:writeFloat(x) -> nothing
// A 32-bit float.
int CLuaRaknetInstance::writeFloat(const CLuaArgs& args)
{
    const float v = args.toFloat(1);
    if (m_stream) m_stream->writeFloat(v);
    return 0;
}

// RaknetInstance:writeShortFloat(x, min, max) -> nothing
// x in 16 bits over the range min to max (values outside it are clamped to
// it); a bound left out is 0.
int CLuaRaknetInstance::writeShortFloat(const CLuaArgs& args)
{
    const float x = args.toFloat(1, 0.f);
    const float min = args.toFloat(2, 0.f);
    const float max = args.toFloat(3, 0.f);
    if (m_stream) m_stream->writeFloat16(x, min, max);
    return 0;
}

// RaknetInstance:writeString(text) -> nothing
// A text (or a number as text) of up to 65535 bytes; anything else writes
// "<nil>".
int CLuaRaknetInstance::writeString(const CLuaArgs& args)
{
    const CString v = args.isText(1) || args.isNumber(1) ? args.text(1) : CString("<nil>");
    if (m_stream) m_stream->writeString(std::string(v.c_str(), v.size()));
    return 0;
}

// RaknetInstance:writeWideString(text) -> nothing
// The WChar's text as 16-bit units (a 16-bit count, then the units); text
// must be a WChar.
int CLuaRaknetInstance::writeWideString(const CLuaArgs& args)
{
    const CLuaWChar* text = LuaClassBinder<CLuaWChar>::check(args, 1);
    if (m_stream) m_stream->writeWideString(core::utf8ToUtf16(text->getText()));
    return 0;
}

// RaknetInstance:writeSystemAddress(address) -> nothing
// An address given as "a.b.c.d|port" (text that is no address writes the
// unassigned one).
int CLuaRaknetInstance::writeSystemAddress(const CLuaArgs& args)
{
    const CString text = args.text(1);
    rudp::SSystemAddress v;
    rudp::SSystemAddress::fromString(std::string(text.c_str(), text.size()), v);
    if (m_stream) m_stream->writeAddress(v);
    return 0;
}

// RaknetInstance:writeTime(t) -> nothing
// t as a 64-bit time (negative values sign-extended).
int CLuaRaknetInstance::writeTime(const CLuaArgs& args)
{
    const int64_t v = args.integer(1);
    if (m_stream) m_stream->writeU64(uint64_t(v));
    return 0;
}

// RaknetInstance:writeGuid(guid) -> nothing
// A GUID given as text.
int CLuaRaknetInstance::writeGuid(const CLuaArgs& args)
{
    const rudp::SGuid v = guidArgument(args, 1);
    if (m_stream) m_stream->writeGuid(v);
    return 0;
}

// RaknetInstance:attachToNatPunchthrough([host [, port]]) -> true, "" | false, error
// Begins connecting to a NAT punch-through facilitator at host ("127.0.0.1",
// one you run with pellora-facilitator) and port (61111), as connect does,
// without restarting the peer: call host, connect or sendPing first. Then
// openNat asks it for routes to other peers.
int CLuaRaknetInstance::attachToNatPunchthrough(const CLuaArgs& args)
{
    const CString host = args.text(1, CLuaRaknetLibrary::DEFAULT_FACILITATOR);
    const uint16_t port = portArgument(args, 2, rudp::DEFAULT_FACILITATOR_PORT);
    if (m_nat) m_peer->detachPlugin(m_nat.get());
    m_nat.reset(new rudp::CNatPunchthroughClient());
    m_peer->attachPlugin(m_nat.get());
    const rudp::EConnectResult result = m_peer->connect(std::string(host.c_str(), host.size()),
                                                        port, CONNECT_ATTEMPTS, CONNECT_INTERVAL);
    return pushResult(args.state(), result, CONNECT_ERRORS, 5);
}

// RaknetInstance:openNat(guid [, host [, port]]) -> nothing
// Asks the facilitator at host ("127.0.0.1") and port (61111), attached
// with attachToNatPunchthrough, to open a route to the peer with the GUID.
// The result arrives as a packet: ID_NAT_PUNCHTHROUGH_SUCCEEDED (on both
// peers; the packet's sender is the other peer), ID_NAT_PUNCHTHROUGH_FAILED,
// ID_NAT_TARGET_NOT_CONNECTED, ...
int CLuaRaknetInstance::openNat(const CLuaArgs& args)
{
    const rudp::SGuid target = guidArgument(args, 1);
    const CString host = args.text(2, CLuaRaknetLibrary::DEFAULT_FACILITATOR);
    const uint16_t port = portArgument(args, 3, rudp::DEFAULT_FACILITATOR_PORT);
    rudp::SSystemAddress facilitator;
    if (!m_nat || !rudp::CUdpSocket::resolve(std::string(host.c_str(), host.size()),
                                             m_peer->getBoundAddress().family, facilitator))
        return 0;
    facilitator.port = port;
    m_nat->openNat(target, facilitator);
    return 0;
}

// RaknetInstance:setUnconnectedPingResponse([text]) -> nothing
// The text ("" unless given) that answers unconnected pings; readString
// reads it from an ID_UNCONNECTED_PONG after readTime.
int CLuaRaknetInstance::setUnconnectedPingResponse(const CLuaArgs& args)
{
    const CString text = args.text(1, "");
    rudp::CBitStream response;
    response.writeString(std::string(text.c_str(), text.size()));
    m_peer->setOfflinePingResponse(response.data(), response.sizeBytes());
    return 0;
}

// RaknetInstance:sendPing([host [, port [, onlyReplyOnAcceptingConnections]]]) -> nothing
// Sends an unconnected ping to host (the IPv4 broadcast address
// "255.255.255.255" unless given) and port (19132), starting the peer on a
// free port first when needed. Only peers with a free incoming slot answer
// unless the third argument is false; answers arrive as ID_UNCONNECTED_PONG
// packets (readTime, then readString for the host's response text).
int CLuaRaknetInstance::sendPing(const CLuaArgs& args)
{
    const CString host = args.text(1, "255.255.255.255");
    const uint16_t port = portArgument(args, 2, DEFAULT_PORT);
    const bool onlyAccepting = args.flag(3, true);
    if (!m_started)
    {
        if (m_peer->startup(4, rudp::SSocketDescriptor()) != rudp::SR_STARTED) return 0;
        m_started = true;
    }
    m_peer->ping(std::string(host.c_str(), host.size()), port, onlyAccepting);
    return 0;
}

} // namespace zu::lua
