// Sessions as scripts run them, over loopback: when a session is active,
// what its handlers hear and in which order, the failure texts, and that an
// ended session leaves nothing behind for the next.
#include "NetTestSupport.h"
#include "net/CNetSession.h"
#include "net/CVariablePacketBuilder.h"
#include "net/NetProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using kelvo::net::CSocketNetworkDevice;
using nettest::Bytes;
using nettest::packet;
using namespace zu::net;

namespace
{

// A session over its own device that writes down every handler call.
class CTestSession : public CNetSession
{
  public:
    ~CTestSession() override
    {
        closeDevice();
        if (m_made) m_made->drop();
    }

    std::vector<std::string> heard;
    // Runs after each line is written down.
    std::function<void(const std::string&)> onHeard;
    int devicesMade = 0;

  protected:
    // The session takes a reference of its own; m_made stands for the
    // device manager's.
    INetworkDevice* createDevice() override
    {
        m_made = new CSocketNetworkDevice("session", CSocketNetworkDevice::MODE_PACKET);
        m_made->setListenAddress("127.0.0.1");
        m_made->setAcceptPacing(0, 0);
        ++devicesMade;
        return m_made;
    }
    void onHostStarted(const char* name) override { hear(std::string("started ") + name); }
    void onClientConnected(const zu::core::CString& name, int32_t id) override
    {
        hear("client " + std::string(name.c_str()) + " " + std::to_string(id));
    }
    void onConnected(int32_t id) override { hear("connected " + std::to_string(id)); }
    void onConnectFailed(const char* reason) override { hear(std::string("failed ") + reason); }
    void onClientDisconnected(int32_t id) override { hear("gone " + std::to_string(id)); }
    void onDisconnected() override { hear("host gone"); }
    void handlePacket(uint8_t* bytes, int32_t, int32_t clientId) override
    {
        hear("packet " + std::to_string(zu::core::readLE16(bytes)) + " from " +
             std::to_string(clientId));
    }

  private:
    void hear(const std::string& line)
    {
        heard.push_back(line);
        if (onHeard) onHeard(line);
    }
    CSocketNetworkDevice* m_made = nullptr;
};

size_t count(const std::vector<std::string>& lines, const std::string& line)
{
    return size_t(std::count(lines.begin(), lines.end(), line));
}

// Sends what waits, then polls every session (and gives its device its
// turn) until the condition holds or 5 s are up.
bool pollUntil(std::initializer_list<CNetSession*> sessions, const std::function<bool()>& done)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;)
    {
        CNetSession::flushAll();
        for (CNetSession* s : sessions)
        {
            s->poll();
            if (s->getDevice()) s->getDevice()->update();
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Hosts on a random high port, trying again while ports are taken.
int32_t host(CNetSession& session, const char* game = "game", int32_t maxConnections = 8)
{
    static std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        int32_t port = 20000 + int32_t(random() % 40000);
        if (session.startHost(game, "Host", port, maxConnections)) return port;
    }
    return -1;
}

// Hosts, and joins the host as "Ann" until the host knows the client too.
bool hostAndJoin(CTestSession& server, CTestSession& client)
{
    int32_t port = host(server);
    if (port < 0) return false;
    client.joinHost("game", "Ann", "127.0.0.1", port);
    return pollUntil({&server, &client},
                     [&] { return client.isActive() && count(server.heard, "client Ann 1") == 1; });
}

} // namespace

TEST(NetSession, ActiveFromTheWelcomeSendingOnlyThen)
{
    nettest::CPrintCapture capture;
    CTestSession server, client;
    int32_t port = host(server);
    ASSERT_GT(port, 0);
    EXPECT_TRUE(server.isActive());
    EXPECT_TRUE(server.isHosting());
    EXPECT_EQ(server.getParameters().gameVersion, zu::core::CString("game"));

    Bytes early = packet(5, {1});
    client.joinHost("game", "Ann", "127.0.0.1", port);
    EXPECT_FALSE(client.isActive()) << "joining is not connected yet";
    EXPECT_FALSE(client.isHosting());
    client.sendPacket(HOST_CLIENT_ID, early.data(), early.size());
    ASSERT_TRUE(pollUntil({&server, &client}, [&] { return client.isActive(); }));
    ASSERT_TRUE(
        pollUntil({&server, &client}, [&] { return count(server.heard, "client Ann 1") == 1; }));
    EXPECT_EQ(client.heard, std::vector<std::string>{"connected 1"});

    // A client reaches the host as 1000; its broadcast reaches nobody.
    Bytes toHost = packet(6, {2}), broadcast = packet(7, {3}), reply = packet(8, {4});
    client.broadcastPacket(broadcast.data(), broadcast.size());
    client.sendPacket(HOST_CLIENT_ID, toHost.data(), toHost.size());
    server.broadcastPacket(reply.data(), reply.size());
    ASSERT_TRUE(pollUntil({&server, &client},
                          [&]
                          {
                              return count(server.heard, "packet 6 from 1") == 1 &&
                                     count(client.heard, "packet 8 from 1000") == 1;
                          }));
    EXPECT_EQ(count(server.heard, "packet 5 from 1"), 0u) << "sent before the welcome";
    EXPECT_EQ(count(server.heard, "packet 7 from 1"), 0u);

    // Hosting again restarts: the old client hears its host go.
    int32_t second = host(server, "game");
    ASSERT_GT(second, 0);
    ASSERT_TRUE(pollUntil({&server, &client}, [&] { return !client.isActive(); }));
    EXPECT_EQ(client.heard.back(), "host gone");
    EXPECT_EQ(server.devicesMade, 1) << "the device is made once and kept";
    client.sendPacket(HOST_CLIENT_ID, toHost.data(), toHost.size());
    client.joinHost("game", "Ann", "127.0.0.1", second);
    ASSERT_TRUE(pollUntil({&server, &client}, [&] { return client.isActive(); }));
    EXPECT_EQ(client.heard.back(), "connected 2") << "a device never gives an id twice";
}

TEST(NetSession, RefusalsAndFailuresCarryTheirTexts)
{
    nettest::CPrintCapture capture;
    CTestSession server;
    int32_t port = host(server, "game", 2);
    ASSERT_GT(port, 0);
    CTestSession other, first, full, nowhere;
    // One at a time: a client in the handshake holds a place.
    other.joinHost("another game", "Ann", "127.0.0.1", port);
    auto* device = static_cast<CSocketNetworkDevice*>(server.getDevice());
    ASSERT_TRUE(pollUntil({&server, &other},
                          [&] { return !other.heard.empty() && device->getClientCount() == 0; }));
    first.joinHost("game", "Bob", "127.0.0.1", port);
    ASSERT_TRUE(pollUntil({&server, &first}, [&] { return first.isActive(); }));
    full.joinHost("game", "Cy", "127.0.0.1", port);
    ASSERT_TRUE(pollUntil({&server, &full}, [&] { return !full.heard.empty(); }));
    // A port nobody listens on: the host's own, once it has stopped.
    server.disconnect();
    nowhere.joinHost("game", "Di", "127.0.0.1", port);
    ASSERT_TRUE(pollUntil({&nowhere}, [&] { return !nowhere.heard.empty(); }));
    EXPECT_EQ(other.heard, std::vector<std::string>{"failed Incorrect game version"});
    EXPECT_EQ(full.heard, std::vector<std::string>{"failed Server is full"});
    EXPECT_EQ(nowhere.heard, std::vector<std::string>{"failed Unable to connect"});
    EXPECT_FALSE(other.isActive());
    EXPECT_FALSE(nowhere.isActive());
}

TEST(NetSession, AnEndedSessionDeliversNothingMore)
{
    nettest::CPrintCapture capture;
    CTestSession server, client;
    ASSERT_TRUE(hostAndJoin(server, client));

    // Waiting undelivered when the host disconnects: never delivered.
    Bytes p = packet(9, {1});
    for (int i = 0; i < 5; ++i)
        client.sendPacket(HOST_CLIENT_ID, p.data(), p.size());
    CNetSession::flushAll();
    ASSERT_TRUE(server.waitForDelivery(2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.disconnect();
    EXPECT_FALSE(server.isActive());
    server.poll();
    EXPECT_EQ(count(server.heard, "packet 9 from 1"), 0u);
    ASSERT_TRUE(pollUntil({&client}, [&] { return !client.isActive(); }));

    // Disconnecting from a handler stops the rest of that delivery.
    int32_t port = host(server);
    ASSERT_GT(port, 0);
    client.joinHost("game", "Ann", "127.0.0.1", port);
    ASSERT_TRUE(pollUntil({&server, &client}, [&] { return client.isActive(); }));
    server.onHeard = [&](const std::string& line)
    {
        if (line == "packet 9 from 2") server.disconnect();
    };
    size_t before = server.heard.size();
    for (int i = 0; i < 5; ++i)
        client.sendPacket(HOST_CLIENT_ID, p.data(), p.size());
    ASSERT_TRUE(pollUntil({&server}, [&] { return !server.isActive(); }));
    std::vector<std::string> after(server.heard.begin() + long(before), server.heard.end());
    EXPECT_EQ(count(after, "packet 9 from 2"), 1u) << "the second client is 2";
}

TEST(NetSession, SentPacketsWaitForTheFlushAndKeepTheirOrder)
{
    nettest::CPrintCapture capture;
    CTestSession server, client;
    ASSERT_TRUE(hostAndJoin(server, client));
    auto packets = [&]
    {
        std::vector<std::string> got;
        for (const std::string& line : server.heard)
            if (line.rfind("packet ", 0) == 0) got.push_back(line);
        return got;
    };

    for (uint16_t type = 1; type <= 3; ++type)
    {
        Bytes p = packet(type, {uint8_t(type)});
        client.sendPacket(HOST_CLIENT_ID, p.data(), p.size());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.poll();
    EXPECT_TRUE(packets().empty()) << "nothing leaves before the flush";

    // A send that does not wait takes what waits with it, in order.
    Bytes now = packet(4, {4});
    ASSERT_EQ(client.getDevice()->send(HOST_CLIENT_ID, now.data(), int32_t(now.size()), 0), 5);
    ASSERT_TRUE(pollUntil({&server}, [&] { return packets().size() == 4; }));
    EXPECT_EQ(packets(), (std::vector<std::string>{"packet 1 from 1", "packet 2 from 1",
                                                   "packet 3 from 1", "packet 4 from 1"}));

    // Disconnecting sends what waits first.
    Bytes last = packet(5, {5});
    client.sendPacket(HOST_CLIENT_ID, last.data(), last.size());
    client.disconnect();
    ASSERT_TRUE(pollUntil({&server}, [&] { return count(server.heard, "gone 1") == 1; }));
    EXPECT_EQ(packets().back(), "packet 5 from 1");
}
