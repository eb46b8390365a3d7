// The socket network device over loopback: the handshake and its refusals,
// packets both ways, scrambling, raw mode, disconnections, and that nothing
// is left behind.
#include "NetTestSupport.h"
#include "net/CSocket.h"
#include "net/CVariablePacketBuilder.h"
#include "net/NetProtocol.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>

#include <atomic>
#include <thread>

using kelvo::net::CSocketNetworkDevice;
using nettest::Bytes;
using nettest::packet;
using nettest::parameters;
using nettest::pumpUntil;
using nettest::SEndpoint;
using namespace zu::net;

namespace
{

// A client joined to the host and welcomed.
bool join(SEndpoint& host, SEndpoint& client, int32_t port, const char* player = "Ann",
          const char* version = "testGame")
{
    size_t before = host.receiver.countKind(NEK_CLIENT_CONNECTED);
    if (client.device->connect(&client.receiver, parameters(player, port, 8, version)) != 0)
        return false;
    return pumpUntil({&host, &client},
                     [&]
                     {
                         return client.receiver.countKind(NEK_CONNECTED) > 0 &&
                                host.receiver.countKind(NEK_CLIENT_CONNECTED) > before;
                     });
}

size_t entries(const char* folder)
{
    size_t n = 0;
    if (DIR* dir = opendir(folder))
    {
        while (dirent* entry = readdir(dir))
            n += entry->d_name[0] != '.';
        closedir(dir);
    }
    return n;
}

uint32_t loopback()
{
    return htonl(INADDR_LOOPBACK);
}

} // namespace

class SocketDevice : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        host.device->setAcceptPacing(0, 0);
        port = nettest::startHost(host);
        ASSERT_GT(port, 0);
    }
    nettest::CPrintCapture capture;
    SEndpoint host{CSocketNetworkDevice::MODE_PACKET, "hostDevice"};
    int32_t port = -1;
};

TEST_F(SocketDevice, HandshakeGivesIdsNamesAndKeys)
{
    SEndpoint client;
    ASSERT_TRUE(join(host, client, port, "Ann"));
    const nettest::SEvent* started = host.receiver.find(NEK_HOST_STARTED);
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(started->clientId, HOST_CLIENT_ID);
    EXPECT_EQ(started->text, "hostDevice");
    const nettest::SEvent* connected = host.receiver.find(NEK_CLIENT_CONNECTED);
    EXPECT_EQ(connected->clientId, 1);
    EXPECT_EQ(connected->length, 1);
    EXPECT_EQ(connected->text, "Ann");
    EXPECT_EQ(client.receiver.find(NEK_CONNECTED)->length, 1);
    EXPECT_EQ(client.device->getOwnClientId(), 1);
    EXPECT_EQ(capture.count("SPI_HELLO, 16\n"), 2u) << "the hello and the welcome";
    EXPECT_EQ(capture.count("HCSR_HELLO\n"), 1u);
    EXPECT_EQ(capture.count("HCSR_WELCOME\n"), 1u);

    // Ids count on and are never reused.
    SEndpoint second;
    ASSERT_TRUE(join(host, second, port, "Bob"));
    EXPECT_EQ(second.device->getOwnClientId(), 2);
    client.device->disconnect();
    SEndpoint third;
    ASSERT_TRUE(join(host, third, port, "Cy"));
    EXPECT_EQ(third.device->getOwnClientId(), 3);
}

TEST_F(SocketDevice, PacketsTravelBothWaysWithTheirSenders)
{
    SEndpoint a, b;
    ASSERT_TRUE(join(host, a, port, "A"));
    ASSERT_TRUE(join(host, b, port, "B"));
    CVariablePacketBuilder builder;
    builder.beginPacket(77);
    builder.appendString("si");
    builder.appendString("hello");
    builder.appendInt(5);
    EXPECT_EQ(builder.sendTo(a.device, HOST_CLIENT_ID), 17);
    Bytes biggest = nettest::numberedPacket(78, 16384, 3);
    EXPECT_EQ(b.device->send(HOST_CLIENT_ID, biggest.data(), int32_t(biggest.size()), 0), 16384);
    ASSERT_TRUE(pumpUntil({&host, &a, &b}, [&] { return host.receiver.packets.size() == 2; }));
    // Each client's packets come in order; a's id is 1, b's is 2.
    for (const nettest::SPacket& p : host.receiver.packets)
        if (p.clientId == 1)
            EXPECT_EQ(p.bytes, Bytes(builder.data(), builder.data() + builder.size()));
        else
            EXPECT_EQ(p.bytes, biggest);

    Bytes reply = packet(79, {1, 2, 3});
    EXPECT_EQ(host.device->send(2, reply.data(), int32_t(reply.size()), 0), 7);
    host.device->broadcast(reply.data(), int32_t(reply.size()), 0, 2);
    ASSERT_TRUE(
        pumpUntil({&host, &a, &b}, [&]
                  { return a.receiver.packets.size() == 1 && b.receiver.packets.size() == 1; }));
    EXPECT_EQ(a.receiver.packets[0].clientId, HOST_CLIENT_ID);
    EXPECT_EQ(a.receiver.packets[0].bytes, reply);
    EXPECT_EQ(b.receiver.packets[0].bytes, reply);
    EXPECT_EQ(host.device->send(9, reply.data(), int32_t(reply.size()), 0), -1);
}

TEST_F(SocketDevice, PacketsThatWouldMisframeOrLookLikeControlAreRefused)
{
    SEndpoint client;
    ASSERT_TRUE(join(host, client, port));
    const uint16_t refused[] = {0x4000, 0x4005, 0x7FFF, 0xFFFF, 0xC000};
    for (uint16_t type : refused)
    {
        Bytes p = packet(type, {1});
        EXPECT_EQ(client.device->send(HOST_CLIENT_ID, p.data(), int32_t(p.size()), 0), -1) << type;
    }
    Bytes longer = packet(1, {1, 2});
    zu::core::writeLE16(longer.data() + 2, 16385);
    EXPECT_EQ(client.device->send(HOST_CLIENT_ID, longer.data(), 0, 0), -1);
    zu::core::writeLE16(longer.data() + 2, 3);
    EXPECT_EQ(client.device->send(HOST_CLIENT_ID, longer.data(), 6, 0), -1);
    // The length field may not claim more than the caller holds.
    zu::core::writeLE16(longer.data() + 2, 7);
    EXPECT_EQ(client.device->send(HOST_CLIENT_ID, longer.data(), 6, 0), -1);

    // Negative types without the bit are ordinary packets.
    const uint16_t accepted[] = {0x3FFF, 0x8000, 0xBFFF, 0};
    for (uint16_t type : accepted)
    {
        Bytes p = packet(type, {2});
        EXPECT_EQ(client.device->send(HOST_CLIENT_ID, p.data(), int32_t(p.size()), 0), 5) << type;
    }
    ASSERT_TRUE(pumpUntil({&host, &client}, [&] { return host.receiver.packets.size() == 4; }));
    EXPECT_EQ(zu::core::readLE16(host.receiver.packets[1].bytes.data()), 0x8000);
    // The connection is still whole.
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_DISCONNECTED), 0u);
}

TEST_F(SocketDevice, ScrambledPacketsUseEachRecipientsKey)
{
    SEndpoint a, b;
    ASSERT_TRUE(join(host, a, port, "A"));
    ASSERT_TRUE(join(host, b, port, "B"));
    Bytes original = nettest::numberedPacket(50, 64);
    Bytes copy = original;
    host.device->broadcast(original.data(), int32_t(original.size()), SEND_SCRAMBLED, 0);
    EXPECT_EQ(original, copy) << "the caller's packet stays as it was";
    ASSERT_TRUE(
        pumpUntil({&host, &a, &b}, [&]
                  { return a.receiver.packets.size() == 1 && b.receiver.packets.size() == 1; }));
    Bytes atA = a.receiver.packets[0].bytes, atB = b.receiver.packets[0].bytes;
    EXPECT_NE(atA, original);
    EXPECT_NE(atA, atB);
    a.device->descramble(atA.data(), HOST_CLIENT_ID);
    b.device->descramble(atB.data(), HOST_CLIENT_ID);
    EXPECT_EQ(atA, original);
    EXPECT_EQ(atB, original);

    // And back: the host descrambles with the sender's key.
    host.receiver.descrambler = host.device;
    EXPECT_EQ(b.device->send(HOST_CLIENT_ID, original.data(), 64, SEND_SCRAMBLED), 64);
    ASSERT_TRUE(pumpUntil({&host, &a, &b}, [&] { return host.receiver.packets.size() == 1; }));
    EXPECT_EQ(host.receiver.packets[0].bytes, original);
    EXPECT_EQ(host.receiver.packets[0].clientId, 2);

    EXPECT_EQ(a.device->send(5, original.data(), 64, SEND_SCRAMBLED), -1);
    EXPECT_EQ(capture.count("ERROR: Unable to locate encryption key for client 5!\n"), 1u);
}

TEST_F(SocketDevice, RefusalsForVersionNameAndAFullHost)
{
    SEndpoint other;
    ASSERT_EQ(other.device->connect(&other.receiver, parameters("Ann", port, 8, "otherGame")), 0);
    ASSERT_TRUE(pumpUntil({&host, &other},
                          [&] { return other.receiver.countKind(NEK_INCORRECT_VERSION) == 1; }));
    SEndpoint nameless;
    ASSERT_EQ(nameless.device->connect(&nameless.receiver, parameters("", port)), 0);
    ASSERT_TRUE(pumpUntil({&host, &nameless},
                          [&] { return nameless.receiver.countKind(NEK_CONNECT_FAILED) == 1; }));
    ASSERT_TRUE(pumpUntil({&host}, [&] { return host.device->getClientCount() == 0; }));
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_CONNECTED), 0u);
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_DISCONNECTED), 0u);
    // A refused client reports no disconnection after its refusal.
    EXPECT_EQ(other.receiver.countKind(NEK_DISCONNECTED), 0u);

    // With a maximum of 2 the host keeps one client.
    SEndpoint small{CSocketNetworkDevice::MODE_PACKET, "small"};
    small.device->setAcceptPacing(0, 0);
    int32_t smallPort = nettest::startHost(small, 2);
    ASSERT_GT(smallPort, 0);
    SEndpoint first, second;
    ASSERT_TRUE(join(small, first, smallPort));
    ASSERT_EQ(second.device->connect(&second.receiver, parameters("Bob", smallPort)), 0);
    ASSERT_TRUE(pumpUntil({&small, &first, &second},
                          [&] { return second.receiver.countKind(NEK_SERVER_FULL) == 1; }));
    EXPECT_EQ(small.device->getClientCount(), 1u);
    EXPECT_EQ(capture.count("HCSR_SERVER_FULL\n"), 1u);
    EXPECT_EQ(capture.count("HCSR_INCORRECT_VERSION\n"), 1u);
    EXPECT_EQ(capture.count("HCSR_ERROR\n"), 1u);
}

// Reads one whole packet from a plain socket; empty at the end of the stream.
Bytes readPacket(kelvo::net::CSocket& socket)
{
    Bytes got;
    uint8_t piece[256];
    while (got.size() < 4 || got.size() < zu::core::readLE16(got.data() + 2))
    {
        ptrdiff_t n =
            socket.receive(piece, got.size() < 4 ? 4 - got.size()
                                                 : zu::core::readLE16(got.data() + 2) - got.size());
        if (n <= 0) return {};
        got.insert(got.end(), piece, piece + n);
    }
    return got;
}

TEST_F(SocketDevice, AClientSilentInTheHandshakeIsDroppedAfterTheTimeout)
{
    host.device->setHandshakeTimeout(300);
    SEndpoint welcomed;
    ASSERT_TRUE(join(host, welcomed, port));
    kelvo::net::CSocket silent;
    ASSERT_TRUE(silent.connect(loopback(), uint16_t(port)));
    Bytes hello = readPacket(silent);
    ASSERT_EQ(hello.size(), 16u);
    EXPECT_EQ(zu::core::readLE32(hello.data() + 8), uint32_t(HCSR_HELLO));
    ASSERT_TRUE(pumpUntil({&host}, [&] { return host.device->getClientCount() == 2; }));

    // Game packets go to welcomed clients only.
    Bytes p = packet(12, {1, 2, 3});
    host.device->broadcast(p.data(), int32_t(p.size()), 0, HOST_CLIENT_ID);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(pumpUntil({&host, &welcomed}, [&] { return host.device->getClientCount() == 1; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(welcomed.receiver.packets.size(), 1u);

    // The silent client hears why it goes, then the end; the game never knew it.
    Bytes refusal = readPacket(silent);
    ASSERT_EQ(refusal.size(), 16u);
    EXPECT_EQ(zu::core::readLE16(refusal.data()), CP_SERVER_HELLO);
    EXPECT_EQ(zu::core::readLE32(refusal.data() + 8), uint32_t(HCSR_ERROR));
    EXPECT_TRUE(readPacket(silent).empty());
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_CONNECTED), 1u);
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_DISCONNECTED), 0u);

    // A client that answers in time stays.
    SEndpoint late;
    ASSERT_TRUE(join(host, late, port, "Late"));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    host.frame();
    EXPECT_EQ(host.device->getClientCount(), 2u);
}

TEST_F(SocketDevice, DisconnectionsAreReportedOnTheOtherSideOnly)
{
    SEndpoint a, b;
    ASSERT_TRUE(join(host, a, port, "A"));
    ASSERT_TRUE(join(host, b, port, "B"));
    a.device->disconnect();
    ASSERT_TRUE(pumpUntil({&host, &b},
                          [&] { return host.receiver.countKind(NEK_CLIENT_DISCONNECTED) == 1; }));
    EXPECT_EQ(host.receiver.find(NEK_CLIENT_DISCONNECTED)->clientId, 1);
    EXPECT_EQ(a.receiver.countKind(NEK_DISCONNECTED), 0u);
    EXPECT_EQ(capture.count("Disconnection message from test, 4 bytes sent\n"), 1u);

    // Dropped by the host: the client learns it, the host raises nothing.
    host.device->dropClient(2);
    ASSERT_TRUE(
        pumpUntil({&host, &b}, [&] { return b.receiver.countKind(NEK_DISCONNECTED) == 1; }));
    EXPECT_EQ(b.receiver.find(NEK_DISCONNECTED)->clientId, HOST_CLIENT_ID);
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_DISCONNECTED), 1u);
    EXPECT_EQ(host.device->getClientCount(), 0u);

    // The host closing reaches every client.
    SEndpoint c;
    ASSERT_TRUE(join(host, c, port, "C"));
    host.device->disconnect();
    ASSERT_TRUE(pumpUntil({&c}, [&] { return c.receiver.countKind(NEK_DISCONNECTED) == 1; }));
    EXPECT_EQ(host.receiver.countKind(NEK_CLIENT_DISCONNECTED), 1u);
}

TEST_F(SocketDevice, ACallbackMayDisconnectItsOwnDevice)
{
    SEndpoint client;
    ASSERT_TRUE(join(host, client, port));
    client.receiver.onEventHook = [&](const nettest::SEvent& e)
    {
        if (e.kind == NEK_DISCONNECTED) client.device->disconnect();
    };
    host.receiver.onEventHook = [&](const nettest::SEvent& e)
    {
        if (e.kind == NEK_CLIENT_CONNECTED) host.device->dropClient(e.clientId);
    };
    // Packets keep coming from the host while the client disconnects from a callback.
    Bytes p = nettest::numberedPacket(3, 1000);
    for (int i = 0; i < 200; ++i)
        host.device->broadcast(p.data(), int32_t(p.size()), 0, 0);
    host.device->dropClient(1);
    ASSERT_TRUE(pumpUntil({&host, &client},
                          [&] { return client.receiver.countKind(NEK_DISCONNECTED) == 1; }));
    // A second client is dropped by the host's own callback.
    SEndpoint second;
    ASSERT_EQ(second.device->connect(&second.receiver, parameters("B", port)), 0);
    ASSERT_TRUE(pumpUntil({&host, &second},
                          [&] { return second.receiver.countKind(NEK_DISCONNECTED) == 1; }));
}

TEST_F(SocketDevice, AFloodIsDeliveredWholeAndInOrder)
{
    SEndpoint client;
    ASSERT_TRUE(join(host, client, port));
    // 6000 packets of 1000 bytes are more than the receiver holds undelivered;
    // the host does not dispatch at first, so the receive thread must wait.
    const int count = 6000;
    std::atomic<int> sent{0};
    std::thread sender(
        [&]
        {
            for (int i = 0; i < count; ++i)
            {
                Bytes p = nettest::numberedPacket(9, 1000, uint8_t(i));
                zu::core::writeLE32(p.data() + 4, uint32_t(i));
                if (client.device->send(HOST_CLIENT_ID, p.data(), int32_t(p.size()), 0) != 1000)
                    break;
                ++sent;
            }
        });
    // Until well past one frame's 4096 packets have gone out, and a little
    // longer for the receive thread to take them in.
    auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (sent < 4500 && sent < count && std::chrono::steady_clock::now() < waitUntil)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    size_t largestFrame = 0;
    bool all = pumpUntil(
        {&host},
        [&]
        {
            largestFrame = std::max(largestFrame, host.receiver.packetsThisDispatch);
            return host.receiver.packets.size() == size_t(count);
        },
        30000);
    sender.join();
    EXPECT_EQ(sent, count);
    ASSERT_TRUE(all) << host.receiver.packets.size();
    EXPECT_GT(largestFrame, 4096u);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(zu::core::readLE32(host.receiver.packets[i].bytes.data() + 4), uint32_t(i));
    EXPECT_EQ(capture.count("ERROR: Packet write buffer exceeded!"), 0u);
}

TEST_F(SocketDevice, HostsAcceptOneClientEveryTwoSecondsByDefault)
{
    SEndpoint paced{CSocketNetworkDevice::MODE_PACKET, "paced"};
    int32_t pacedPort = nettest::startHost(paced);
    ASSERT_GT(pacedPort, 0);
    SEndpoint a, b;
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(a.device->connect(&a.receiver, parameters("A", pacedPort)), 0);
    ASSERT_EQ(b.device->connect(&b.receiver, parameters("B", pacedPort)), 0);
    std::vector<double> times;
    ASSERT_TRUE(pumpUntil(
        {&paced, &a, &b},
        [&]
        {
            while (times.size() < paced.receiver.countKind(NEK_CLIENT_CONNECTED))
                times.push_back(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                        .count());
            return times.size() == 2;
        },
        8000));
    const nettest::SEvent* started = paced.receiver.find(NEK_HOST_STARTED);
    ASSERT_NE(started, nullptr);
    EXPECT_GE(times[0], 0.45);
    EXPECT_GE(times[1] - times[0], 1.9);
}

TEST_F(SocketDevice, RawModeCarriesBytesAndText)
{
    SEndpoint raw{CSocketNetworkDevice::MODE_RAW, "raw"};
    EXPECT_EQ(raw.device->startServer(&raw.receiver, parameters("x", port + 1)), -1);

    kelvo::net::CSocket listener;
    uint16_t rawPort = 0;
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 30 && !listener.isOpen(); ++attempt)
    {
        rawPort = uint16_t(20000 + random() % 40000);
        listener.listen(loopback(), rawPort, 4);
    }
    ASSERT_TRUE(listener.isOpen());
    ASSERT_EQ(raw.device->connect(&raw.receiver, parameters("x", rawPort)), 0);
    kelvo::net::CSocket peer = listener.accept();
    ASSERT_TRUE(peer.isOpen());
    ASSERT_TRUE(pumpUntil({&raw}, [&] { return raw.receiver.countKind(NEK_CONNECTED) == 1; }));
    EXPECT_EQ(raw.receiver.find(NEK_CONNECTED)->length, 0);

    EXPECT_EQ(raw.device->send(HOST_CLIENT_ID, "hello", 0, SEND_TEXT), 5);
    char got[16] = {};
    size_t have = 0;
    while (have < 5)
    {
        ptrdiff_t n = peer.receive(got + have, sizeof got - have);
        ASSERT_GT(n, 0);
        have += size_t(n);
    }
    EXPECT_EQ(std::string(got, have), "hello");
    Bytes p = packet(1);
    EXPECT_EQ(raw.device->send(HOST_CLIENT_ID, p.data(), 4, 0), -1);
    EXPECT_EQ(capture.count("ERROR: Sent a normal packet with primitive winsock!"), 1u);

    // Chunks of at most 16384 bytes, all of them.
    Bytes stream(40000);
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] = uint8_t(i * 7);
    ASSERT_EQ(peer.sendAll(stream.data(), stream.size()), stream.size());
    Bytes received;
    ASSERT_TRUE(pumpUntil({&raw},
                          [&]
                          {
                              for (; !raw.receiver.packets.empty();
                                   raw.receiver.packets.erase(raw.receiver.packets.begin()))
                              {
                                  const Bytes& chunk = raw.receiver.packets.front().bytes;
                                  EXPECT_LE(chunk.size(), 16384u);
                                  received.insert(received.end(), chunk.begin(), chunk.end());
                              }
                              return received.size() >= stream.size();
                          }));
    EXPECT_EQ(received, stream);
    peer.close();
    ASSERT_TRUE(pumpUntil({&raw}, [&] { return raw.receiver.countKind(NEK_DISCONNECTED) == 1; }));
}

TEST_F(SocketDevice, FailuresToConnectOrListen)
{
    SEndpoint again{CSocketNetworkDevice::MODE_PACKET, "again"};
    EXPECT_EQ(again.device->startServer(&again.receiver, parameters("x", port)), -1);

    // The host's port after it closed: nothing listens there.
    host.device->disconnect();
    SEndpoint client;
    EXPECT_EQ(client.device->connect(&client.receiver, parameters("x", port)), -1);
    zu::net::SSessionParameters unknown = parameters("x", port);
    unknown.hostAddress = "no-such-host.invalid";
    EXPECT_EQ(client.device->connect(&client.receiver, unknown), -1);
    client.frame();
    EXPECT_EQ(client.receiver.countKind(NEK_CONNECT_FAILED), 2u);

    // A closed host may start again.
    host.device->setAcceptPacing(0, 0);
    int32_t next = nettest::startHost(host);
    ASSERT_GT(next, 0);
    ASSERT_TRUE(join(host, client, next));
}

TEST_F(SocketDevice, NameLookupsAreIPv4)
{
    uint32_t address = 0;
    ASSERT_TRUE(kelvo::net::CSocket::resolveIPv4("localhost", address));
    EXPECT_EQ(kelvo::net::CSocket::toDotted(address), zu::core::CString("127.0.0.1"));
    SEndpoint client;
    zu::net::SSessionParameters byName = parameters("Ann", port);
    byName.hostAddress = "localhost";
    ASSERT_EQ(client.device->connect(&client.receiver, byName), 0);
    ASSERT_TRUE(
        pumpUntil({&host, &client}, [&] { return client.receiver.countKind(NEK_CONNECTED); }));
    EXPECT_FALSE(host.device->getLocalAddress().empty());
}

TEST_F(SocketDevice, FiftyCyclesLeaveNoThreadOrDescriptorBehind)
{
    // One cycle first, so whatever the process makes once is already there.
    {
        SEndpoint client;
        ASSERT_TRUE(join(host, client, port));
    }
    ASSERT_TRUE(pumpUntil({&host}, [&] { return host.device->getClientCount() == 0; }));
    size_t threads = entries("/proc/self/task"), descriptors = entries("/proc/self/fd");
    for (int cycle = 0; cycle < 50; ++cycle)
    {
        SEndpoint client;
        ASSERT_TRUE(join(host, client, port)) << cycle;
        Bytes p = packet(1, {uint8_t(cycle)});
        ASSERT_EQ(client.device->send(HOST_CLIENT_ID, p.data(), 5, 0), 5);
        ASSERT_TRUE(pumpUntil({&host, &client},
                              [&] { return host.receiver.packets.size() == size_t(cycle) + 1; }));
        if (cycle % 2)
            client.device->disconnect();
        else
            host.device->dropClient(client.device->getOwnClientId());
        // Every fifth cycle the host itself restarts.
        if (cycle % 5 == 4)
        {
            host.device->disconnect();
            port = nettest::startHost(host);
            ASSERT_GT(port, 0);
        }
    }
    ASSERT_TRUE(pumpUntil({&host},
                          [&]
                          {
                              return host.device->getClientCount() == 0 &&
                                     entries("/proc/self/task") == threads &&
                                     entries("/proc/self/fd") == descriptors;
                          }))
        << entries("/proc/self/task") << " threads for " << threads << ", "
        << entries("/proc/self/fd") << " descriptors for " << descriptors;
}
