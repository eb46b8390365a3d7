// Helpers of the network tests: packets made by hand, a print capture that
// device threads may write to, a recording receiver, and a host started on a
// random high port of the loopback address.
#pragma once

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "event/SEngineEvent.h"
#include "net/CSocketNetworkDevice.h"
#include "net/IPacketEventReceiver.h"
#include "net/SSessionParameters.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace nettest
{

using Bytes = std::vector<uint8_t>;

// A packet of the type with the body, its length field set.
inline Bytes packet(uint16_t type, const Bytes& body = {})
{
    Bytes out(4 + body.size());
    zu::core::writeLE16(out.data(), type);
    zu::core::writeLE16(out.data() + 2, uint16_t(out.size()));
    std::copy(body.begin(), body.end(), out.begin() + 4);
    return out;
}

// A packet whose body counts up from `first`, `size` bytes in all.
inline Bytes numberedPacket(uint16_t type, size_t size, uint8_t first = 0)
{
    Bytes body(size - 4);
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = uint8_t(first + i);
    return packet(type, body);
}

// Collects what is printed while it lives, from any thread. Set it up before
// devices start and let it go after they are gone.
class CPrintCapture
{
  public:
    CPrintCapture()
    {
        clear();
        m_old = zu::core::setPrintHook(&CPrintCapture::print);
    }
    ~CPrintCapture() { zu::core::setPrintHook(m_old); }
    static std::string text()
    {
        std::lock_guard<std::mutex> lock(mutex());
        return buffer();
    }
    static size_t count(const std::string& line)
    {
        std::string all = text();
        size_t n = 0;
        for (size_t at = all.find(line); at != std::string::npos; at = all.find(line, at + 1))
            ++n;
        return n;
    }
    static void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        buffer().clear();
    }

  private:
    static void print(const char* text)
    {
        std::lock_guard<std::mutex> lock(mutex());
        buffer() += text;
    }
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::string& buffer()
    {
        static std::string b;
        return b;
    }
    zu::core::PrintHook m_old;
};

struct SEvent
{
    int32_t kind;
    int32_t clientId;
    int32_t length;
    int32_t extra;
    std::string text;
};

struct SPacket
{
    int32_t clientId;
    Bytes bytes;
};

// Records what dispatch delivers; may descramble packets with a device and
// run a hook on each event.
class CRecordingReceiver : public zu::net::IPacketEventReceiver
{
  public:
    void handleNetworkEvent(const zu::event::SEngineEvent& event) override
    {
        const zu::event::SNetworkEvent& n = event.network;
        events.push_back({n.kind, n.clientId, n.length, n.extra,
                          n.data ? static_cast<const char*>(n.data) : ""});
        if (onEventHook) onEventHook(events.back());
    }
    void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) override
    {
        if (descrambler) descrambler->descramble(bytes, clientId);
        packets.push_back({clientId, Bytes(bytes, bytes + length)});
        ++packetsThisDispatch;
    }

    size_t countKind(int32_t kind) const
    {
        size_t n = 0;
        for (const SEvent& e : events)
            n += e.kind == kind;
        return n;
    }
    const SEvent* find(int32_t kind) const
    {
        for (const SEvent& e : events)
            if (e.kind == kind) return &e;
        return nullptr;
    }

    std::vector<SEvent> events;
    std::vector<SPacket> packets;
    size_t packetsThisDispatch = 0;
    zu::net::INetworkDevice* descrambler = nullptr;
    std::function<void(const SEvent&)> onEventHook;
};

// One end: a device and the receiver its events go to.
struct SEndpoint
{
    explicit SEndpoint(kelvo::net::CSocketNetworkDevice::EMode mode =
                           kelvo::net::CSocketNetworkDevice::MODE_PACKET,
                       const char* name = "test")
        : device(new kelvo::net::CSocketNetworkDevice(name, mode))
    {
        device->setListenAddress("127.0.0.1");
    }
    ~SEndpoint() { device->drop(); }
    SEndpoint(const SEndpoint&) = delete;
    SEndpoint& operator=(const SEndpoint&) = delete;

    // One frame: deliver what arrived, then the device's turn.
    void frame()
    {
        receiver.packetsThisDispatch = 0;
        receiver.dispatch(device);
        device->update();
    }

    kelvo::net::CSocketNetworkDevice* device;
    CRecordingReceiver receiver;
};

// Runs frames of every end until the condition holds or the time is up.
inline bool pumpUntil(std::initializer_list<SEndpoint*> ends, const std::function<bool()>& done,
                      int timeoutMs = 5000)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;)
    {
        for (SEndpoint* end : ends)
            end->frame();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

inline zu::net::SSessionParameters parameters(const char* player, int32_t port,
                                              int32_t maxConnections = 8,
                                              const char* version = "testGame")
{
    zu::net::SSessionParameters p;
    p.playerName = player;
    p.hostAddress = "127.0.0.1";
    p.port = port;
    p.maxConnections = maxConnections;
    p.serverName = version;
    p.gameVersion = version;
    return p;
}

// Starts the host on a random high port, trying again while ports are taken;
// the port, or -1.
inline int32_t startHost(SEndpoint& host, int32_t maxConnections = 8,
                         const char* version = "testGame")
{
    static std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        int32_t port = 20000 + int32_t(random() % 40000);
        if (host.device->startServer(&host.receiver,
                                     parameters("host", port, maxConnections, version)) == 0)
            return port;
    }
    return -1;
}

} // namespace nettest
