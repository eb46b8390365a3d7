// Peers over the loopback address: the handshake, each reliability through a
// lossy relay, time-outs, refusals, unconnected pings and what a flood of
// them gets back, and NAT punch-through through a facilitator.
#include "CLossyRelay.h"

#include "net/rudp/CBitStream.h"
#include "net/rudp/CNatPunchthroughClient.h"
#include "net/rudp/CNatPunchthroughServer.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/CUdpSocket.h"
#include "net/rudp/MessageIds.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

using namespace kelvo::net::rudp;
using rudptest::CLossyRelay;

namespace
{

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr uint8_t USER = ID_USER_PACKET_ENUM;

SSocketDescriptor loopback(EFamily family = EF_IPV4)
{
    SSocketDescriptor d;
    d.family = family;
    d.bindAddress = family == EF_IPV6 ? "::1" : "127.0.0.1";
    return d;
}

// A started peer on a free loopback port.
std::unique_ptr<CRakPeer> started(unsigned incoming, EFamily family = EF_IPV4)
{
    auto peer = std::make_unique<CRakPeer>();
    if (peer->startup(8, loopback(family)) != SR_STARTED) return nullptr;
    peer->setMaximumIncomingConnections(incoming);
    return peer;
}

uint16_t portOf(const CRakPeer& peer)
{
    return peer.getBoundAddress().port;
}

// Polls until a packet with the id arrives (others are kept in `others`).
std::unique_ptr<SPacket> waitFor(CRakPeer& peer, uint8_t id, int ms,
                                 std::vector<std::unique_ptr<SPacket>>* others = nullptr)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end)
    {
        while (auto p = peer.receive())
        {
            if (p->id() == id) return p;
            if (others) others->push_back(std::move(p));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return nullptr;
}

// A client connected to the host at the port: the host's GUID as the client sees it.
bool connectTo(CRakPeer& client, CRakPeer& host, uint16_t port)
{
    if (client.connect("127.0.0.1", port) != CR_STARTED) return false;
    auto accepted = waitFor(client, ID_CONNECTION_REQUEST_ACCEPTED, 5000);
    if (!accepted || accepted->guid != host.getMyGuid()) return false;
    // Other clients may be coming in at the same time.
    for (int i = 0; i < 8; ++i)
    {
        auto incoming = waitFor(host, ID_NEW_INCOMING_CONNECTION, 5000);
        if (!incoming) return false;
        if (incoming->guid == client.getMyGuid()) return true;
    }
    return false;
}

// A host and a client connected to it through a relay with the rates; the
// time-out is set on both before they connect.
struct SRelayedPair
{
    std::unique_ptr<CRakPeer> host, client;
    std::unique_ptr<CLossyRelay> relay;
    bool ok = false;
};

SRelayedPair relayedPair(CLossyRelay::SRates rates, RakTime timeout = DEFAULT_TIMEOUT)
{
    SRelayedPair p;
    p.host = started(4);
    p.client = started(0);
    if (!p.host || !p.client) return p;
    p.host->setTimeoutTime(timeout);
    p.client->setTimeoutTime(timeout);
    p.relay =
        std::make_unique<CLossyRelay>(SSystemAddress::ipv4(127, 0, 0, 1, portOf(*p.host)), rates);
    p.ok = p.relay->ok() && connectTo(*p.client, *p.host, p.relay->port());
    return p;
}

// A host with two clients connected straight to it.
struct SThree
{
    std::unique_ptr<CRakPeer> host, a, b;
    bool ok = false;
};

SThree hostWithTwoClients()
{
    SThree t;
    t.host = started(4);
    t.a = started(0);
    t.b = started(0);
    t.ok = t.host && t.a && t.b && connectTo(*t.a, *t.host, portOf(*t.host)) &&
           connectTo(*t.b, *t.host, portOf(*t.host));
    return t;
}

Bytes userMessage(uint8_t kind, uint32_t n, size_t size = 16)
{
    Bytes m(size);
    m[0] = USER;
    m[1] = kind;
    for (int i = 0; i < 4; ++i)
        m[2 + i] = uint8_t(n >> (24 - 8 * i));
    for (size_t i = 6; i < size; ++i)
        m[i] = uint8_t(i + n);
    return m;
}

uint32_t numberOf(const SPacket& p)
{
    return uint32_t(p.data[2]) << 24 | uint32_t(p.data[3]) << 16 | uint32_t(p.data[4]) << 8 |
           p.data[5];
}

uint32_t send(CRakPeer& from, SGuid to, const Bytes& m, uint8_t reliability, uint8_t channel = 0)
{
    return from.send(m.data(), m.size(), HIGH_PRIORITY, reliability, channel, to, false);
}

// A socket that plays the other side by hand.
struct SRawPeer
{
    CUdpSocket socket;
    SRawPeer() { socket.open(EF_IPV4, 0, &local); }
    SSystemAddress local = SSystemAddress::ipv4(127, 0, 0, 1, 0);
    uint16_t port() const { return socket.localAddress().port; }
    void send(uint16_t port, const CBitStream& s)
    {
        socket.sendTo(SSystemAddress::ipv4(127, 0, 0, 1, port), s.data(), s.sizeBytes());
    }
    // Every datagram that arrives within ms.
    std::vector<Bytes> collect(int ms)
    {
        std::vector<Bytes> got;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        Bytes buffer(2048);
        while (Clock::now() < end)
        {
            socket.wait(5);
            SSystemAddress from;
            for (ptrdiff_t n; (n = socket.receiveFrom(buffer.data(), buffer.size(), from)) >= 0;)
                got.emplace_back(buffer.begin(), buffer.begin() + n);
        }
        return got;
    }
};

CBitStream firstRequest(uint8_t protocol, size_t size)
{
    CBitStream s;
    s.writeU8(ID_OPEN_CONNECTION_REQUEST_1);
    s.writeMagic();
    s.writeU8(protocol);
    s.writeZeros(size - s.sizeBytes());
    return s;
}

} // namespace

TEST(Peer, HandshakeBothWaysWithPings)
{
    auto host = started(4);
    auto client = started(0);
    ASSERT_TRUE(host && client);
    host->setOccasionalPing(true);
    ASSERT_TRUE(connectTo(*client, *host, portOf(*host)));
    EXPECT_TRUE(client->isConnected(host->getMyGuid()));
    EXPECT_TRUE(host->isConnected(client->getMyGuid()));
    EXPECT_EQ(client->getSystemAddress(host->getMyGuid()).toString(),
              "127.0.0.1|" + std::to_string(portOf(*host)));
    // The handshake's times are the first round trip.
    EXPECT_GE(client->getAveragePing(host->getMyGuid()), 0);
    EXPECT_GE(host->getAveragePing(client->getMyGuid()), 0);
    EXPECT_EQ(host->getAveragePing(SGuid(12345)), -1);
    EXPECT_EQ(client->connect("127.0.0.1", portOf(*host)), CR_ALREADY_CONNECTED_TO_ENDPOINT);
}

TEST(Peer, EachReliabilityThroughALossyReorderingDuplicatingRelay)
{
    SRelayedPair pair = relayedPair({0.10, 0.10, 0.05});
    ASSERT_TRUE(pair.ok);
    CRakPeer* host = pair.host.get();
    CRakPeer* client = pair.client.get();
    const SGuid to = host->getMyGuid();
    const uint32_t count = 200;
    for (uint32_t n = 0; n < count; ++n)
    {
        ASSERT_NE(
            send(*client, to, userMessage(1, n, n % 40 == 0 ? 5000 : 16), RELIABLE_ORDERED, 1), 0u);
        ASSERT_NE(send(*client, to, userMessage(2, n), UNRELIABLE_SEQUENCED, 2), 0u);
        ASSERT_NE(send(*client, to, userMessage(3, n), UNRELIABLE), 0u);
        ASSERT_NE(send(*client, to, userMessage(4, n), RELIABLE_SEQUENCED, 4), 0u);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::map<uint8_t, std::vector<uint32_t>> got;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end &&
           (got[1].size() < count || got[4].empty() || got[4].back() != count - 1))
    {
        while (auto p = host->receive())
            if (p->id() == USER)
            {
                got[p->data[1]].push_back(numberOf(*p));
                if (p->data[1] == 1)
                {
                    EXPECT_EQ(p->data, userMessage(1, numberOf(*p), p->data.size()));
                }
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Reliable ordered: complete and in order.
    ASSERT_EQ(got[1].size(), count);
    for (uint32_t n = 0; n < count; ++n)
        EXPECT_EQ(got[1][n], n);
    // Sequenced: never backwards; the reliable kind ends with the last.
    for (uint8_t kind : {2, 4})
        for (size_t i = 1; i < got[kind].size(); ++i)
            EXPECT_LT(got[kind][i - 1], got[kind][i]) << int(kind);
    ASSERT_FALSE(got[4].empty());
    EXPECT_EQ(got[4].back(), count - 1);
    // Unreliable: some lost, none twice.
    std::set<uint32_t> unreliable(got[3].begin(), got[3].end());
    EXPECT_EQ(unreliable.size(), got[3].size());
    EXPECT_LT(got[3].size(), count);
    EXPECT_GT(pair.relay->dropped(), 0u);
}

TEST(Peer, SplitPacketsOf5000BytesAndOneMegabyteThroughTheRelay)
{
    SRelayedPair pair = relayedPair({0.05, 0.05, 0.02});
    ASSERT_TRUE(pair.ok);
    CRakPeer* host = pair.host.get();
    CRakPeer* client = pair.client.get();
    for (size_t size : {size_t(5000), size_t(1) << 20})
    {
        SCOPED_TRACE(size);
        const Bytes big = userMessage(9, uint32_t(size), size);
        ASSERT_NE(send(*client, host->getMyGuid(), big, RELIABLE_ORDERED), 0u);
        auto p = waitFor(*host, USER, 30000);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->data, big);
    }
}

TEST(Peer, SilenceLosesTheConnectionOnBothSides)
{
    SRelayedPair pair = relayedPair({}, 1000);
    ASSERT_TRUE(pair.ok);
    CRakPeer* host = pair.host.get();
    CRakPeer* client = pair.client.get();
    const auto start = Clock::now();
    pair.relay->blackhole(true);
    auto lostAtHost = waitFor(*host, ID_CONNECTION_LOST, 4000);
    auto lostAtClient = waitFor(*client, ID_CONNECTION_LOST, 4000);
    ASSERT_TRUE(lostAtHost && lostAtClient);
    EXPECT_EQ(lostAtHost->guid, client->getMyGuid());
    EXPECT_EQ(lostAtClient->guid, host->getMyGuid());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(host->isConnected(client->getMyGuid()));
}

TEST(Peer, DisconnectionIsSeenByTheOtherSide)
{
    SThree t = hostWithTwoClients();
    ASSERT_TRUE(t.ok);
    CRakPeer *host = t.host.get(), *a = t.a.get(), *b = t.b.get();
    a->closeConnection(host->getMyGuid(), true);
    auto notice = waitFor(*host, ID_DISCONNECTION_NOTIFICATION, 3000);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->guid, a->getMyGuid());
    b->shutdown(500);
    notice = waitFor(*host, ID_DISCONNECTION_NOTIFICATION, 3000);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->guid, b->getMyGuid());
    EXPECT_TRUE(host->getConnections().empty());
}

TEST(Peer, BroadcastSkipsTheExcludedSystemAndReceiptsComeBack)
{
    SThree t = hostWithTwoClients();
    ASSERT_TRUE(t.ok);
    CRakPeer *host = t.host.get(), *a = t.a.get(), *b = t.b.get();
    const Bytes m = userMessage(5, 1);
    const uint32_t receipt = host->send(m.data(), m.size(), HIGH_PRIORITY,
                                        RELIABLE_ORDERED_WITH_ACK_RECEIPT, 0, a->getMyGuid(), true);
    ASSERT_NE(receipt, 0u);
    EXPECT_TRUE(waitFor(*b, USER, 2000));
    EXPECT_FALSE(waitFor(*a, USER, 300));
    auto acked = waitFor(*host, ID_SND_RECEIPT_ACKED, 2000);
    ASSERT_TRUE(acked);
    ASSERT_EQ(acked->data.size(), 5u);
    EXPECT_EQ(uint32_t(acked->data[1]) << 24 | acked->data[2] << 16 | acked->data[3] << 8 |
                  acked->data[4],
              receipt);
    // Nothing is queued for a system that is not connected.
    EXPECT_EQ(send(*host, SGuid(42), m, RELIABLE), 0u);
}

TEST(Peer, TimestampsArriveInTheReceiversClock)
{
    auto host = started(4);
    auto client = started(0);
    ASSERT_TRUE(host && client);
    ASSERT_TRUE(connectTo(*client, *host, portOf(*host)));
    CBitStream m;
    m.writeU8(ID_TIMESTAMP);
    const RakTime sent = CRakPeer::getTime();
    m.writeU64(sent);
    m.writeU8(USER);
    const Bytes bytes(m.data(), m.data() + m.sizeBytes());
    ASSERT_NE(send(*client, host->getMyGuid(), bytes, RELIABLE), 0u);
    auto p = waitFor(*host, ID_TIMESTAMP, 2000);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->data.size(), 10u);
    CBitStream in(p->data.data(), p->data.size());
    uint64_t t;
    in.skipBytes(1);
    ASSERT_TRUE(in.readU64(t));
    // One clock here, so only the round trip's rounding separates them.
    EXPECT_LE(t > sent ? t - sent : sent - t, 5u);
    EXPECT_LE(t, CRakPeer::getTime() + 5);
}

TEST(Peer, StartupAndConnectResults)
{
    auto host = started(4);
    ASSERT_TRUE(host);
    const uint16_t port = portOf(*host);
    EXPECT_TRUE(CRakPeer::isPortInUse(port, EF_IPV4));
    CRakPeer other;
    SSocketDescriptor same = loopback();
    same.port = port;
    EXPECT_EQ(other.startup(4, same), SR_SOCKET_PORT_ALREADY_IN_USE);
    EXPECT_EQ(other.startup(0, loopback()), SR_INVALID_MAX_CONNECTIONS);
    EXPECT_EQ(other.connect("127.0.0.1", port), CR_INVALID_PARAMETER);
    ASSERT_EQ(other.startup(4, loopback()), SR_STARTED);
    EXPECT_EQ(other.startup(4, loopback()), SR_ALREADY_STARTED);
    EXPECT_EQ(other.connect("127.0.0.1", 0), CR_INVALID_PARAMETER);
    // An IPv6 address for an IPv4 socket resolves to nothing.
    EXPECT_EQ(other.connect("::1", port), CR_CANNOT_RESOLVE_DOMAIN_NAME);
    EXPECT_EQ(other.connect("127.0.0.1", port), CR_STARTED);
    EXPECT_EQ(other.connect("127.0.0.1", port), CR_ATTEMPT_ALREADY_IN_PROGRESS);
    other.shutdown(0);
    EXPECT_FALSE(other.isActive());
    EXPECT_EQ(other.startup(4, same), SR_SOCKET_PORT_ALREADY_IN_USE);
}

TEST(Peer, AttemptsTryThreeMtusThenFail)
{
    SRawPeer silent;
    auto client = started(0);
    ASSERT_TRUE(client);
    ASSERT_EQ(client->connect("127.0.0.1", silent.port(), 6, 30), CR_STARTED);
    auto failed = waitFor(*client, ID_CONNECTION_ATTEMPT_FAILED, 2000);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->address.port, silent.port());
    std::vector<size_t> sizes;
    for (const Bytes& d : silent.collect(50))
    {
        ASSERT_GE(d.size(), 18u);
        EXPECT_EQ(d[0], ID_OPEN_CONNECTION_REQUEST_1);
        EXPECT_EQ(memcmp(&d[1], OFFLINE_MAGIC, 16), 0);
        EXPECT_EQ(d[17], PROTOCOL_VERSION);
        sizes.push_back(d.size());
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{1464, 1464, 1172, 1172, 548, 548}));
}

TEST(Peer, RefusalsReachTheConnectingApplication)
{
    auto host = started(1);
    auto a = started(0);
    auto b = started(0);
    ASSERT_TRUE(host && a && b);
    ASSERT_TRUE(connectTo(*a, *host, portOf(*host)));
    ASSERT_EQ(b->connect("127.0.0.1", portOf(*host)), CR_STARTED);
    auto full = waitFor(*b, ID_NO_FREE_INCOMING_CONNECTIONS, 3000);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->guid, host->getMyGuid());

    // A host of another protocol version answers the first request with its own.
    SRawPeer raw;
    raw.send(portOf(*host), firstRequest(PROTOCOL_VERSION + 1, 548));
    auto replies = raw.collect(300);
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(replies[0].size(), 26u);
    EXPECT_EQ(replies[0][0], ID_INCOMPATIBLE_PROTOCOL_VERSION);
    EXPECT_EQ(replies[0][1], PROTOCOL_VERSION);
    EXPECT_EQ(memcmp(&replies[0][2], OFFLINE_MAGIC, 16), 0);

    // And a connecting peer reports such an answer.
    SRawPeer other;
    ASSERT_EQ(b->connect("127.0.0.1", other.port(), 12, 100), CR_STARTED);
    ASSERT_FALSE(other.collect(150).empty());
    CBitStream answer;
    answer.writeU8(ID_INCOMPATIBLE_PROTOCOL_VERSION);
    answer.writeU8(99);
    answer.writeMagic();
    answer.writeGuid(SGuid(5));
    other.send(b->getBoundAddress().port, answer);
    auto incompatible = waitFor(*b, ID_INCOMPATIBLE_PROTOCOL_VERSION, 2000);
    ASSERT_TRUE(incompatible);
    EXPECT_EQ(incompatible->data, (Bytes{ID_INCOMPATIBLE_PROTOCOL_VERSION, 99}));
}

TEST(Peer, UnconnectedPingsAreAnsweredSparinglyAndNeverAmplified)
{
    auto host = started(4);
    auto client = started(0);
    ASSERT_TRUE(host && client);
    CBitStream response;
    response.writeString("hello");
    host->setOfflinePingResponse(response.data(), response.sizeBytes());
    ASSERT_TRUE(client->ping("127.0.0.1", portOf(*host), true));
    auto pong = waitFor(*client, ID_UNCONNECTED_PONG, 2000);
    ASSERT_TRUE(pong);
    EXPECT_EQ(pong->guid, host->getMyGuid());
    ASSERT_EQ(pong->data.size(), 9u + 7u);
    EXPECT_EQ(Bytes(pong->data.begin() + 9, pong->data.end()),
              (Bytes{0, 5, 'h', 'e', 'l', 'l', 'o'}));

    auto quiet = started(4);
    ASSERT_TRUE(quiet);
    SRawPeer raw;
    CBitStream ping;
    ping.writeU8(ID_UNCONNECTED_PING);
    ping.writeU64(1);
    ping.writeMagic();
    ping.writeGuid(SGuid(1));
    const auto start = Clock::now();
    for (int i = 0; i < 300; ++i)
        raw.send(portOf(*quiet), ping);
    // Short first requests and second requests without a first get nothing.
    raw.send(portOf(*quiet), firstRequest(PROTOCOL_VERSION, 100));
    CBitStream second;
    second.writeU8(ID_OPEN_CONNECTION_REQUEST_2);
    second.writeMagic();
    second.writeAddress(SSystemAddress::ipv4(127, 0, 0, 1, portOf(*quiet)));
    second.writeU16(1492);
    second.writeGuid(SGuid(1));
    raw.send(portOf(*quiet), second);
    const auto replies = raw.collect(500);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(replies.size(), 10u);
    EXPECT_LE(double(replies.size()), 20 + 10 * seconds + 1);
    for (const Bytes& r : replies)
    {
        EXPECT_EQ(r[0], ID_UNCONNECTED_PONG);
        EXPECT_LE(r.size(), ping.sizeBytes());
    }
}

TEST(Peer, HandshakeOverIPv6)
{
    auto host = started(4, EF_IPV6);
    auto client = started(0, EF_IPV6);
    if (!host || !client) GTEST_SKIP() << "no IPv6 loopback here";
    ASSERT_EQ(client->connect("::1", portOf(*host)), CR_STARTED);
    auto accepted = waitFor(*client, ID_CONNECTION_REQUEST_ACCEPTED, 5000);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->address.toString(), "::1|" + std::to_string(portOf(*host)));
    ASSERT_TRUE(waitFor(*host, ID_NEW_INCOMING_CONNECTION, 2000));
    ASSERT_NE(send(*client, host->getMyGuid(), userMessage(1, 1), RELIABLE_ORDERED), 0u);
    EXPECT_TRUE(waitFor(*host, USER, 2000));
}

TEST(Peer, NatPunchthroughThroughAFacilitator)
{
    auto facilitator = started(8);
    auto a = started(4);
    auto b = started(4);
    ASSERT_TRUE(facilitator && a && b);
    CNatPunchthroughServer server;
    CNatPunchthroughClient clientA, clientB;
    facilitator->attachPlugin(&server);
    a->attachPlugin(&clientA);
    b->attachPlugin(&clientB);
    const SSystemAddress where = SSystemAddress::ipv4(127, 0, 0, 1, portOf(*facilitator));
    // A asks before its connection to the facilitator is up: the request waits for it.
    ASSERT_EQ(a->connect("127.0.0.1", where.port), CR_STARTED);
    ASSERT_TRUE(clientA.openNat(SGuid(777), where));
    ASSERT_TRUE(connectTo(*b, *facilitator, where.port));
    // The facilitator's plugin works as its application takes packets.
    const auto untilBoth =
        [&](uint8_t idA, uint8_t idB, std::unique_ptr<SPacket>& atA, std::unique_ptr<SPacket>& atB)
    {
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < end && !((atA || !idA) && (atB || !idB)))
        {
            if (idA && !atA) atA = waitFor(*a, idA, 2);
            if (idB && !atB) atB = waitFor(*b, idB, 2);
            waitFor(*facilitator, 0xFF, 1);
        }
    };
    std::unique_ptr<SPacket> notConnected, none;
    untilBoth(ID_NAT_TARGET_NOT_CONNECTED, 0, notConnected, none);
    ASSERT_TRUE(notConnected);
    EXPECT_EQ(notConnected->guid, SGuid(777));

    ASSERT_TRUE(clientA.openNat(b->getMyGuid(), where));
    std::unique_ptr<SPacket> atA, atB;
    untilBoth(ID_NAT_PUNCHTHROUGH_SUCCEEDED, ID_NAT_PUNCHTHROUGH_SUCCEEDED, atA, atB);
    ASSERT_TRUE(atA && atB);
    EXPECT_EQ(atA->guid, b->getMyGuid());
    EXPECT_EQ(atA->address.port, portOf(*b));
    EXPECT_EQ(atA->data, (Bytes{ID_NAT_PUNCHTHROUGH_SUCCEEDED, 1}));
    EXPECT_EQ(atB->guid, a->getMyGuid());
    EXPECT_EQ(atB->data, (Bytes{ID_NAT_PUNCHTHROUGH_SUCCEEDED, 0}));
    // The route is open: A connects to B directly.
    ASSERT_TRUE(connectTo(*a, *b, portOf(*b)));
    facilitator->detachPlugin(&server);
    a->detachPlugin(&clientA);
    b->detachPlugin(&clientB);
}
