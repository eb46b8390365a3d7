// CRakPeer: a reliable-UDP endpoint: one socket, up to maxConnections
// connections (incoming ones up to the maximum set for them), and a network
// thread of its own that receives, acknowledges, resends and keeps the
// connections alive.
//
// Connecting: a connection attempt sends the first open-connection request
// (padded to the MTU it tries: the first third of the attempts 1492, then
// 1200, then 576) every interval until the host replies; then the second
// request, the connection request over the reliability layer, the host's
// acceptance and the new-incoming-connection notice. Both sides take a first
// round trip and clock offset from the handshake's times, then ping. The
// application sees ID_CONNECTION_REQUEST_ACCEPTED (client) or
// ID_NEW_INCOMING_CONNECTION (host); ID_CONNECTION_ATTEMPT_FAILED, a
// refusal (ID_NO_FREE_INCOMING_CONNECTIONS, ID_ALREADY_CONNECTED,
// ID_INCOMPATIBLE_PROTOCOL_VERSION, ...), ID_DISCONNECTION_NOTIFICATION and
// ID_CONNECTION_LOST (nothing heard for the time-out) come the same way.
//
// A message starting with ID_TIMESTAMP has the 64-bit time after it turned
// from the sender's clock into this peer's as it arrives.
//
// Unconnected traffic is answered sparingly: each address gets a few replies
// per second and all addresses together a bounded number. No reply is
// larger than what caused it (the ping response the application sets
// excepted), counting a handshake's two replies against its first request:
// that one must be padded to at least the smallest MTU, and a second request
// is answered only for an address whose first one was answered lately (the
// second reply is one byte longer than its request).
//
// Threads: every public function may be called from any one application
// thread; the network thread works under the peer's lock. receive() and the
// plugins run on the application's thread.
#pragma once

#include "net/rudp/CReliabilityLayer.h"
#include "net/rudp/CUdpSocket.h"
#include "net/rudp/IPeerPlugin.h"
#include "net/rudp/RudpProtocol.h"
#include "net/rudp/SPacket.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace kelvo::net::rudp
{

class CBitStream;

enum EStartupResult
{
    SR_STARTED = 0,
    SR_ALREADY_STARTED = 1,
    SR_INVALID_SOCKET_DESCRIPTORS = 2,
    SR_INVALID_MAX_CONNECTIONS = 3,
    SR_SOCKET_FAMILY_NOT_SUPPORTED = 4,
    SR_SOCKET_PORT_ALREADY_IN_USE = 5,
    SR_SOCKET_FAILED_TO_BIND = 6,
    SR_SOCKET_FAILED_TEST_SEND = 7,
    SR_FAILED_TO_CREATE_NETWORK_THREAD = 8
};

enum EConnectResult
{
    CR_STARTED = 0,
    CR_INVALID_PARAMETER = 1,
    CR_CANNOT_RESOLVE_DOMAIN_NAME = 2,
    CR_ALREADY_CONNECTED_TO_ENDPOINT = 3,
    CR_ATTEMPT_ALREADY_IN_PROGRESS = 4,
    CR_SECURITY_INITIALIZATION_FAILED = 5
};

struct SSocketDescriptor
{
    uint16_t port = 0;
    EFamily family = EF_IPV4;
    // Empty: every address of the family.
    std::string bindAddress;
};

class CRakPeer
{
  public:
    CRakPeer();
    ~CRakPeer();
    CRakPeer(const CRakPeer&) = delete;
    CRakPeer& operator=(const CRakPeer&) = delete;

    // Opens the socket and starts the network thread. Each start picks a
    // new GUID.
    EStartupResult startup(unsigned maxConnections, const SSocketDescriptor& socket);
    bool isActive() const { return m_active; }
    void setMaximumIncomingConnections(unsigned n);
    // Tells every connected system, waits up to blockMs for them to
    // acknowledge, then stops the thread and closes the socket; queued
    // packets are dropped.
    void shutdown(unsigned blockMs);

    EConnectResult connect(const std::string& host, uint16_t port, unsigned attempts = 12,
                           unsigned intervalMs = 500);
    // Ends a connection; with notify the other side is told (and gets
    // ID_DISCONNECTION_NOTIFICATION).
    void closeConnection(SGuid guid, bool notify);

    // The next packet, or null. Plugins see it first.
    std::unique_ptr<SPacket> receive();
    // Queues a message to one system, or with broadcast to every connected
    // system but `guid` (to all when it is unassigned). The send receipt
    // (never 0), or 0 when nothing was queued.
    uint32_t send(const uint8_t* data, size_t size, EPriority priority, uint8_t reliability,
                  uint8_t channel, SGuid guid, bool broadcast);
    // An offline ID_OUT_OF_BAND_INTERNAL datagram with the payload.
    bool sendOutOfBand(const SSystemAddress& to, const uint8_t* data, size_t size);
    // A packet for the application, as if it had arrived.
    void pushPacket(std::unique_ptr<SPacket> packet);

    // An unconnected ping; with onlyIfAccepting only hosts with a free
    // incoming slot answer. False when the host does not resolve.
    bool ping(const std::string& host, uint16_t port, bool onlyIfAccepting);
    // The bytes an unconnected pong carries after its header.
    void setOfflinePingResponse(const uint8_t* data, size_t size);
    void setOccasionalPing(bool on) { m_occasionalPing = on; }
    // For every connection from now on, and those open.
    void setTimeoutTime(RakTime ms);

    SGuid getMyGuid() const;
    // Average of the last round trips in milliseconds, -1 when not connected.
    int getAveragePing(SGuid guid) const;
    SSystemAddress getSystemAddress(SGuid guid) const;
    SGuid getGuid(const SSystemAddress& address) const;
    bool isConnected(SGuid guid) const;
    std::vector<SGuid> getConnections() const;
    SSystemAddress getBoundAddress() const;
    unsigned getMaximumConnections() const { return m_maxConnections; }

    static bool isPortInUse(uint16_t port, EFamily family);
    static RakTime getTime() { return rudp::getTime(); }

    void attachPlugin(IPeerPlugin* plugin);
    void detachPlugin(IPeerPlugin* plugin);

    // Counters for tests and benchmarks.
    struct SStatistics
    {
        uint64_t datagramsSent = 0;
        uint64_t datagramsReceived = 0;
        uint64_t offlineReplies = 0;
        uint64_t resentFrames = 0;
    };
    SStatistics getStatistics() const;

  private:
    enum EState
    {
        ST_AWAITING_REQUEST,
        ST_REQUESTED,
        ST_ACCEPTED,
        ST_CONNECTED,
        ST_DISCONNECTING,
        ST_CLOSED
    };
    struct SPing
    {
        RakTime rtt;
        int64_t clockDifference;
    };
    struct SRemote
    {
        SRemote(uint16_t mtu) : layer(mtu) {}
        SSystemAddress address;
        SGuid guid;
        bool incoming = false;
        EState state = ST_AWAITING_REQUEST;
        CReliabilityLayer layer;
        RakTime lastReceive = 0;
        RakTime nextPing = 0;
        RakTime closeBy = 0;
        std::deque<SPing> pings;
        std::vector<CReliabilityLayer::Message> early;
        uint64_t resentBefore = 0;
    };
    struct SAttempt
    {
        SSystemAddress address;
        unsigned total = 12;
        unsigned sent = 0;
        unsigned interval = 500;
        RakTime nextSend = 0;
        bool replied = false;
        uint16_t mtu = MAXIMUM_MTU;
    };
    struct SBucket
    {
        double tokens = 0;
        RakTime refilled = 0;
    };

    void run();
    void cycle();
    void processDatagram(const uint8_t* data, size_t size, const SSystemAddress& from, RakTime now);
    void processOffline(const uint8_t* data, size_t size, const SSystemAddress& from, RakTime now);
    void processMessage(SRemote& remote, CReliabilityLayer::Message&& message, RakTime now);
    void deliverUser(SRemote& remote, CReliabilityLayer::Message&& message);
    void updateAttempts(RakTime now);
    void updateRemotes(RakTime now);
    // Sends what the connection has due and hands its receipts on.
    void flush(SRemote& remote, RakTime now);
    bool allowReply(const SSystemAddress& to, RakTime now);
    void sendOffline(const SSystemAddress& to, const CBitStream& message);
    void sendInternal(SRemote& remote, const CBitStream& message, uint8_t reliability);
    void sendPing(SRemote& remote, RakTime now);
    void addPingSample(SRemote& remote, RakTime sentAt, RakTime remoteTime, RakTime now);
    void writeInternalAddresses(CBitStream& out) const;
    SRemote* createRemote(const SSystemAddress& address, SGuid guid, uint16_t mtu, bool incoming,
                          EState state, RakTime now);
    void removeRemote(SRemote* remote);
    SRemote* findByAddress(const SSystemAddress& address) const;
    SRemote* findByGuid(SGuid guid) const;
    SAttempt* findAttempt(const SSystemAddress& address);
    void removeAttempt(const SSystemAddress& address);
    unsigned incomingCount() const;
    void queuePacket(const SSystemAddress& address, SGuid guid, std::vector<uint8_t>&& data);
    void queueNotice(const SSystemAddress& address, SGuid guid, uint8_t id);

    mutable std::mutex m_mutex;
    CUdpSocket m_socket;
    std::thread m_thread;
    std::atomic<bool> m_active{false};
    std::atomic<bool> m_running{false};
    SGuid m_guid;
    unsigned m_maxConnections = 0;
    unsigned m_maxIncoming = 0;
    std::atomic<bool> m_occasionalPing{false};
    RakTime m_timeout = DEFAULT_TIMEOUT;
    std::vector<uint8_t> m_pingResponse;
    uint32_t m_nextReceipt = 0;
    std::vector<std::unique_ptr<SRemote>> m_remotes;
    std::map<SSystemAddress, SRemote*> m_byAddress;
    std::unordered_map<uint64_t, SRemote*> m_byGuid;
    std::vector<SAttempt> m_attempts;
    std::unordered_map<uint64_t, SBucket> m_buckets;
    SBucket m_globalBucket;
    std::unordered_map<uint64_t, RakTime> m_answeredFirst;
    RakTime m_nextPrune = 0;
    SStatistics m_stats;

    std::mutex m_packetMutex;
    std::deque<std::unique_ptr<SPacket>> m_packets;

    std::vector<IPeerPlugin*> m_plugins;
};

} // namespace kelvo::net::rudp
