// bench_net: packets per second and round-trip times between two processes
// over loopback, through the socket network device and through a raw TCP
// socket pair carrying the same framed packets, one send per packet on both.
//
//   bench_net [--packets N] [--round-trips M] [--repeat R]
//
// Each case forks a receiving process. Throughput: the sender sends N
// packets as fast as it can, then an end packet with the count; the receiver
// answers with what it counted, and the rate is that count over the time to
// the answer. Round trips: M packets, each echoed before the next is sent.
// The device's receiver delivers on its main thread as a game would, with a
// loop that dispatches as soon as something arrived. Only 127.0.0.1 is used;
// every loop is bounded in count and in time.
#include "core/ByteOrder.h"
#include "core/Output.h"
#include "net/CSocket.h"
#include "net/CSocketNetworkDevice.h"
#include "net/IPacketEventReceiver.h"
#include "net/NetProtocol.h"
#include "net/SSessionParameters.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
using kelvo::net::CSocket;
using kelvo::net::CSocketNetworkDevice;

namespace
{

enum EType : uint16_t
{
    DATA = 1,
    ANSWER = 2,
    END = 3,
    ECHO = 4,
    QUIT = 5
};

constexpr double CASE_SECONDS = 20.0;
// Whether the device's main loops spin (as the runtime's unthrottled loop
// does) or sleep until something arrives.
bool g_spin = false;

void quiet(const char*) {}

Bytes makePacket(uint16_t type, size_t size, uint32_t value = 0)
{
    Bytes p(size, 0x5A);
    zu::core::writeLE16(p.data(), type);
    zu::core::writeLE16(p.data() + 2, uint16_t(size));
    if (size >= 8) zu::core::writeLE32(p.data() + 4, value);
    return p;
}

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

uint32_t loopback()
{
    uint32_t address = 0;
    CSocket::resolveIPv4("127.0.0.1", address);
    return address;
}

// What the receiving process does with each packet.
struct SCounter
{
    uint32_t counted = 0;
    bool quit = false;
    // The reply to send for a packet, if any.
    Bytes onPacket(const uint8_t* p, size_t size)
    {
        switch (zu::core::readLE16(p))
        {
        case DATA:
            ++counted;
            return {};
        case END:
        {
            Bytes answer = makePacket(ANSWER, 8, counted);
            counted = 0;
            return answer;
        }
        case ECHO:
            return Bytes(p, p + size);
        case QUIT:
            quit = true;
            return {};
        default:
            return {};
        }
    }
};

// The raw pair's framing: whole packets from the front of a buffer.
class CRawReader
{
  public:
    explicit CRawReader(CSocket& socket) : m_socket(socket), m_buffer(65536) {}
    // The next whole packet; false at the end of the stream.
    bool next(Bytes& packet)
    {
        for (;;)
        {
            if (m_used - m_at >= 4)
            {
                size_t length = zu::core::readLE16(m_buffer.data() + m_at + 2);
                if (m_used - m_at >= length)
                {
                    packet.assign(m_buffer.begin() + long(m_at),
                                  m_buffer.begin() + long(m_at + length));
                    m_at += length;
                    return true;
                }
            }
            memmove(m_buffer.data(), m_buffer.data() + m_at, m_used - m_at);
            m_used -= m_at;
            m_at = 0;
            ptrdiff_t got = m_socket.receive(m_buffer.data() + m_used, m_buffer.size() - m_used);
            if (got <= 0) return false;
            m_used += size_t(got);
        }
    }

  private:
    CSocket& m_socket;
    Bytes m_buffer;
    size_t m_used = 0, m_at = 0;
};

class CBenchReceiver : public zu::net::IPacketEventReceiver
{
  public:
    void handleNetworkEvent(const zu::event::SEngineEvent& event) override
    {
        if (event.network.kind == zu::net::NEK_CONNECTED) connected = true;
        if (event.network.kind == zu::net::NEK_DISCONNECTED ||
            event.network.kind == zu::net::NEK_CLIENT_DISCONNECTED)
            counter.quit = true;
    }
    void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) override
    {
        if (zu::core::readLE16(bytes) == ANSWER)
        {
            answered = true;
            answer = zu::core::readLE32(bytes + 4);
            return;
        }
        if (zu::core::readLE16(bytes) == ECHO && replyTo == nullptr)
        {
            ++echoes;
            return;
        }
        Bytes reply = counter.onPacket(bytes, size_t(length));
        if (!reply.empty() && replyTo)
            replyTo->send(clientId, reply.data(), int32_t(reply.size()), 0);
    }
    // Frames until the condition holds, dispatching as soon as anything arrives.
    template <class Done> bool run(zu::net::INetworkDevice* device, Done done, double limit)
    {
        auto start = Clock::now();
        while (!done())
        {
            if (seconds(start) > limit) return false;
            if (!g_spin) waitForDelivery(10);
            dispatch(device);
            device->update();
        }
        return true;
    }

    SCounter counter;
    zu::net::INetworkDevice* replyTo = nullptr;
    bool connected = false, answered = false;
    uint32_t answer = 0;
    uint64_t echoes = 0;
};

struct SResult
{
    double packetsPerSecond = 0;
    double p50 = 0, p99 = 0; // microseconds
};

// The receiving side in the child: reports its port through the pipe.
[[noreturn]] void serve(bool device, int pipeOut)
{
    zu::core::setPrintHook(&quiet);
    std::mt19937 random(std::random_device{}() ^ uint32_t(getpid()));
    uint16_t port = 0;
    if (!device)
    {
        CSocket listener;
        for (int attempt = 0; attempt < 30 && !listener.isOpen(); ++attempt)
            listener.listen(loopback(), port = uint16_t(20000 + random() % 40000), 1);
        if (write(pipeOut, &port, sizeof port) != sizeof port) _exit(1);
        CSocket connection = listener.accept();
        CRawReader reader(connection);
        SCounter counter;
        Bytes packet;
        auto start = Clock::now();
        while (!counter.quit && seconds(start) < 10 * CASE_SECONDS && reader.next(packet))
        {
            Bytes reply = counter.onPacket(packet.data(), packet.size());
            if (!reply.empty()) connection.sendAll(reply.data(), reply.size());
        }
        _exit(0);
    }
    auto* host = new CSocketNetworkDevice("bench", CSocketNetworkDevice::MODE_PACKET);
    host->setListenAddress("127.0.0.1");
    host->setAcceptPacing(0, 0);
    CBenchReceiver receiver;
    receiver.replyTo = host;
    zu::net::SSessionParameters parameters;
    parameters.playerName = "host";
    parameters.maxConnections = 2;
    parameters.gameVersion = "bench";
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        parameters.port = int32_t(20000 + random() % 40000);
        if (host->startServer(&receiver, parameters) == 0) break;
        parameters.port = 0;
    }
    port = uint16_t(parameters.port);
    if (write(pipeOut, &port, sizeof port) != sizeof port) _exit(1);
    receiver.run(
        host, [&] { return receiver.counter.quit; }, 10 * CASE_SECONDS);
    host->drop();
    _exit(0);
}

uint16_t startServer(bool device, pid_t& child)
{
    int pipes[2];
    if (pipe(pipes) != 0) exit(1);
    fflush(stdout);
    child = fork();
    if (child == 0)
    {
        close(pipes[0]);
        serve(device, pipes[1]);
    }
    close(pipes[1]);
    uint16_t port = 0;
    if (read(pipes[0], &port, sizeof port) != sizeof port) port = 0;
    close(pipes[0]);
    return port;
}

SResult percentiles(std::vector<double>& times, SResult result)
{
    std::sort(times.begin(), times.end());
    if (!times.empty())
    {
        result.p50 = times[times.size() / 2] * 1e6;
        result.p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)] * 1e6;
    }
    return result;
}

SResult runRaw(size_t size, uint32_t packets, uint32_t roundTrips)
{
    pid_t child;
    uint16_t port = startServer(false, child);
    CSocket socket;
    SResult result;
    if (!port || !socket.connect(loopback(), port)) return result;
    CRawReader reader(socket);
    Bytes data = makePacket(DATA, size), reply;

    auto start = Clock::now();
    uint32_t sent = 0;
    for (; sent < packets; ++sent)
    {
        if (sent % 1024 == 0 && seconds(start) > CASE_SECONDS) break;
        socket.sendAll(data.data(), data.size());
    }
    Bytes end = makePacket(END, 8, sent);
    socket.sendAll(end.data(), end.size());
    if (reader.next(reply))
        result.packetsPerSecond = zu::core::readLE32(reply.data() + 4) / seconds(start);

    std::vector<double> times;
    Bytes echo = makePacket(ECHO, size);
    start = Clock::now();
    for (uint32_t i = 0; i < roundTrips && seconds(start) < CASE_SECONDS; ++i)
    {
        auto at = Clock::now();
        socket.sendAll(echo.data(), echo.size());
        if (!reader.next(reply)) break;
        times.push_back(seconds(at));
    }
    Bytes quit = makePacket(QUIT, 4);
    socket.sendAll(quit.data(), quit.size());
    socket.shutdown();
    waitpid(child, nullptr, 0);
    return percentiles(times, result);
}

SResult runDevice(size_t size, uint32_t packets, uint32_t roundTrips)
{
    pid_t child;
    uint16_t port = startServer(true, child);
    SResult result;
    auto* client = new CSocketNetworkDevice("bench", CSocketNetworkDevice::MODE_PACKET);
    CBenchReceiver receiver;
    zu::net::SSessionParameters parameters;
    parameters.playerName = "client";
    parameters.hostAddress = "127.0.0.1";
    parameters.port = port;
    parameters.gameVersion = "bench";
    if (port && client->connect(&receiver, parameters) == 0 &&
        receiver.run(
            client, [&] { return receiver.connected; }, CASE_SECONDS))
    {
        Bytes data = makePacket(DATA, size);
        auto start = Clock::now();
        uint32_t sent = 0;
        for (; sent < packets; ++sent)
        {
            if (sent % 1024 == 0 && seconds(start) > CASE_SECONDS) break;
            client->send(zu::net::HOST_CLIENT_ID, data.data(), int32_t(size), 0);
        }
        Bytes end = makePacket(END, 8, sent);
        client->send(zu::net::HOST_CLIENT_ID, end.data(), 8, 0);
        if (receiver.run(
                client, [&] { return receiver.answered; }, CASE_SECONDS))
            result.packetsPerSecond = receiver.answer / seconds(start);

        std::vector<double> times;
        Bytes echo = makePacket(ECHO, size);
        start = Clock::now();
        for (uint32_t i = 0; i < roundTrips && seconds(start) < CASE_SECONDS; ++i)
        {
            auto at = Clock::now();
            uint64_t before = receiver.echoes;
            client->send(zu::net::HOST_CLIENT_ID, echo.data(), int32_t(size), 0);
            if (!receiver.run(
                    client, [&] { return receiver.echoes > before; }, CASE_SECONDS))
                break;
            times.push_back(seconds(at));
        }
        result = percentiles(times, result);
        Bytes quit = makePacket(QUIT, 4);
        client->send(zu::net::HOST_CLIENT_ID, quit.data(), 4, 0);
    }
    client->drop();
    waitpid(child, nullptr, 0);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    uint32_t packets = 200000, roundTrips = 10000;
    int repeat = 1;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (!strcmp(argv[i], "--packets"))
            packets = uint32_t(atol(argv[i + 1]));
        else if (!strcmp(argv[i], "--round-trips"))
            roundTrips = uint32_t(atol(argv[i + 1]));
        else if (!strcmp(argv[i], "--repeat"))
            repeat = atoi(argv[i + 1]);
        else if (!strcmp(argv[i], "--loop"))
            g_spin = !strcmp(argv[i + 1], "spin");
    }
    zu::core::setPrintHook(&quiet);
    printf("%u packets one way, %u round trips, over 127.0.0.1\n\n", packets, roundTrips);
    printf("| size | run | raw pair packets/s | device packets/s | device / raw | raw RTT p50 / "
           "p99 us "
           "| device RTT p50 / p99 us |\n|---|---|---|---|---|---|---|\n");
    bool met = true;
    for (size_t size : {16u, 1000u})
        for (int run = 1; run <= repeat; ++run)
        {
            SResult raw = runRaw(size, packets, roundTrips);
            SResult device = runDevice(size, packets, roundTrips);
            double ratio =
                raw.packetsPerSecond > 0 ? device.packetsPerSecond / raw.packetsPerSecond : 0;
            printf("| %zu B | %d | %.0f | %.0f | %.2f | %.1f / %.1f | %.1f / %.1f |\n", size, run,
                   raw.packetsPerSecond, device.packetsPerSecond, ratio, raw.p50, raw.p99,
                   device.p50, device.p99);
            fflush(stdout);
            met = met && device.packetsPerSecond >= 50000 && ratio >= 0.5;
        }
    printf("\ntarget (at least 50,000 packets/s and within 2x of the raw pair): %s\n",
           met ? "met" : "NOT met");
    return 0;
}
