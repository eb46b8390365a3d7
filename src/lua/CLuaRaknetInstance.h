// CLuaRaknetInstance: the native side of the script class RaknetInstance,
// one reliable-UDP peer with the packet being read or built.
//
// The current bit stream is either the payload of the current packet (after
// its id, and after the timestamp of a timestamped one) or a packet being
// built by createPacket; every read and write method works on it. Reads
// return nil when there is no stream or it holds too few bits (the read
// position stays); writes do nothing without a stream.
#pragma once

#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <memory>

namespace kelvo::net::rudp
{
class CBitStream;
class CNatPunchthroughClient;
class CRakPeer;
struct SPacket;
} // namespace kelvo::net::rudp

namespace zu::lua
{

class CLuaRaknetInstance
{
  public:
    static constexpr const char* className = "RaknetInstance";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaRaknetInstance> methods[];

    static CLuaRaknetInstance* construct(const CLuaArgs& args);

    CLuaRaknetInstance();
    virtual ~CLuaRaknetInstance();
    CLuaRaknetInstance(const CLuaRaknetInstance&) = delete;
    CLuaRaknetInstance& operator=(const CLuaRaknetInstance&) = delete;

    // Methods, in the order of the method list.
    int host(const CLuaArgs& args);
    int connect(const CLuaArgs& args);
    int getMyGuid(const CLuaArgs& args);
    int getAveragePing(const CLuaArgs& args);
    int nextPacket(const CLuaArgs& args);
    int releasePacket(const CLuaArgs& args);
    int getPacketSenderAddress(const CLuaArgs& args);
    int createPacket(const CLuaArgs& args);
    int send(const CLuaArgs& args);
    int broadcast(const CLuaArgs& args);
    int getPacketName(const CLuaArgs& args);
    int readBoolean(const CLuaArgs& args);
    int readByte(const CLuaArgs& args);
    int readShort(const CLuaArgs& args);
    int readInt(const CLuaArgs& args);
    int readFloat(const CLuaArgs& args);
    int readShortFloat(const CLuaArgs& args);
    int readString(const CLuaArgs& args);
    int readWideString(const CLuaArgs& args);
    int readSystemAddress(const CLuaArgs& args);
    int readTime(const CLuaArgs& args);
    int readGuid(const CLuaArgs& args);
    int writeBoolean(const CLuaArgs& args);
    int writeByte(const CLuaArgs& args);
    int writeShort(const CLuaArgs& args);
    int writeInt(const CLuaArgs& args);
    int writeFloat(const CLuaArgs& args);
    int writeShortFloat(const CLuaArgs& args);
    int writeString(const CLuaArgs& args);
    int writeWideString(const CLuaArgs& args);
    int writeSystemAddress(const CLuaArgs& args);
    int writeTime(const CLuaArgs& args);
    int writeGuid(const CLuaArgs& args);
    int attachToNatPunchthrough(const CLuaArgs& args);
    int openNat(const CLuaArgs& args);
    int setUnconnectedPingResponse(const CLuaArgs& args);
    int sendPing(const CLuaArgs& args);

  private:
    // Shuts the peer down when it was started, waiting up to blockMs.
    void stop(unsigned blockMs);
    // Pushes true, "" for a result of 0, false and its name otherwise.
    static int pushResult(lua_State* L, int result, const char* const* names, int count);

    bool m_started = false;
    std::unique_ptr<kelvo::net::rudp::CRakPeer> m_peer;
    std::unique_ptr<kelvo::net::rudp::SPacket> m_packet;
    std::unique_ptr<kelvo::net::rudp::CBitStream> m_stream;
    std::unique_ptr<kelvo::net::rudp::CNatPunchthroughClient> m_nat;
};

} // namespace zu::lua
