// The packet event receiver: what the device's threads store is delivered on
// the next dispatch, events first, nothing lost.
#include "NetTestSupport.h"
#include "net/INetworkDevice.h"
#include "net/NetProtocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using nettest::Bytes;
using nettest::CRecordingReceiver;

namespace
{

zu::event::SEngineEvent networkEvent(int32_t kind, int32_t id, int32_t length,
                                     const void* data = nullptr, int32_t extra = 0)
{
    zu::event::SEngineEvent e{};
    e.type = zu::event::NetworkEvent;
    e.network = {kind, id, length, 0, data, extra};
    return e;
}

// Records what the receiver's queued sends hand it.
class CSendRecorder : public zu::net::INetworkDevice
{
  public:
    int32_t startServer(zu::net::IPacketEventReceiver*, const zu::net::SSessionParameters&) override
    {
        return -1;
    }
    int32_t connect(zu::net::IPacketEventReceiver*, const zu::net::SSessionParameters&) override
    {
        return -1;
    }
    void disconnect() override {}
    zu::core::CString getLocalAddress() override { return "127.0.0.1"; }
    int32_t send(int32_t id, const void* bytes, int32_t length, int32_t flags) override
    {
        const auto* b = static_cast<const uint8_t*>(bytes);
        sent.push_back({id, Bytes(b, b + length)});
        EXPECT_EQ(flags, 0);
        return length;
    }
    void broadcast(const void*, int32_t, int32_t, int32_t) override {}
    void flush() override {}
    void descramble(uint8_t*, int32_t) override {}
    void dropClient(int32_t) override {}
    void update() override {}
    std::vector<nettest::SPacket> sent;
};

} // namespace

TEST(PacketReceiver, EventsComeFirstThenPacketsInArrivalOrder)
{
    CRecordingReceiver receiver;
    Bytes first = nettest::packet(1, {1}), second = nettest::packet(2, {2, 2});
    std::string name = "Ann";
    EXPECT_TRUE(receiver.onEvent(networkEvent(6, 3, int32_t(first.size()), first.data())));
    EXPECT_TRUE(receiver.onEvent(networkEvent(1, 3, 3, name.c_str())));
    name = "overwritten";
    EXPECT_TRUE(receiver.onEvent(networkEvent(7, 4, 0, nullptr, 42)));
    EXPECT_TRUE(receiver.storePacket(second.data(), int32_t(second.size()), 1000));
    zu::event::SEngineEvent key = zu::event::SEngineEvent::makeKey(65, zu::event::KeyPressed);
    EXPECT_FALSE(receiver.onEvent(key));

    receiver.dispatch(nullptr);
    ASSERT_EQ(receiver.events.size(), 2u);
    EXPECT_EQ(receiver.events[0].kind, 1);
    EXPECT_EQ(receiver.events[0].text, "Ann");
    EXPECT_EQ(receiver.events[1].kind, 7);
    EXPECT_EQ(receiver.events[1].extra, 42);
    ASSERT_EQ(receiver.packets.size(), 2u);
    EXPECT_EQ(receiver.packets[0].clientId, 3);
    EXPECT_EQ(receiver.packets[0].bytes, first);
    EXPECT_EQ(receiver.packets[1].clientId, 1000);
    EXPECT_EQ(receiver.packets[1].bytes, second);

    receiver.dispatch(nullptr);
    EXPECT_EQ(receiver.events.size(), 2u);
    EXPECT_EQ(receiver.packets.size(), 2u);
}

TEST(PacketReceiver, MoreThan4096PacketsInOneFrameAreAllDelivered)
{
    CRecordingReceiver receiver;
    const int count = 20000;
    for (int i = 0; i < count; ++i)
    {
        Bytes p = nettest::packet(1, {uint8_t(i), uint8_t(i >> 8), 0, 0, 0, 0});
        ASSERT_TRUE(receiver.storePacket(p.data(), int32_t(p.size()), i % 7));
    }
    receiver.dispatch(nullptr);
    ASSERT_EQ(receiver.packets.size(), size_t(count));
    for (int i = 0; i < count; ++i)
    {
        EXPECT_EQ(receiver.packets[i].clientId, i % 7);
        EXPECT_EQ(receiver.packets[i].bytes[4] | receiver.packets[i].bytes[5] << 8, i & 0xFFFF);
    }
}

TEST(PacketReceiver, AFullBufferRefusesUntilTheNextDispatch)
{
    CRecordingReceiver receiver;
    Bytes big = nettest::numberedPacket(1, 16384);
    size_t stored = 0;
    while (receiver.storePacket(big.data(), int32_t(big.size()), 1))
        ++stored;
    EXPECT_EQ(stored, zu::net::IPacketEventReceiver::PENDING_BYTES_LIMIT / big.size());

    // A receive thread waiting for room wakes when the main thread dispatches.
    std::atomic<bool> storedLate{false};
    std::thread late(
        [&]
        {
            while (!receiver.storePacket(big.data(), int32_t(big.size()), 2))
                receiver.waitForRoom(1000);
            storedLate = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(storedLate);
    receiver.dispatch(nullptr);
    late.join();
    EXPECT_EQ(receiver.packets.size(), stored);
    receiver.dispatch(nullptr);
    ASSERT_EQ(receiver.packets.size(), stored + 1);
    EXPECT_EQ(receiver.packets.back().clientId, 2);
}

TEST(PacketReceiver, QueuedSendsGoOutDuringDispatch)
{
    CRecordingReceiver receiver;
    CSendRecorder device;
    Bytes p = nettest::packet(5, {1, 2, 3});
    receiver.queueSend(p.data(), int32_t(p.size()), 4);
    receiver.queueSend(p.data(), 3, 4); // too short for a header
    EXPECT_TRUE(device.sent.empty());
    receiver.dispatch(&device);
    ASSERT_EQ(device.sent.size(), 1u);
    EXPECT_EQ(device.sent[0].clientId, 4);
    EXPECT_EQ(device.sent[0].bytes, p);
}

TEST(PacketReceiver, ADispatchFromACallbackDoesNothing)
{
    nettest::CPrintCapture capture;
    CRecordingReceiver receiver;
    int nested = 0;
    receiver.onEventHook = [&](const nettest::SEvent&)
    {
        ++nested;
        receiver.dispatch(nullptr);
    };
    Bytes p = nettest::packet(1);
    receiver.onEvent(networkEvent(2, 0, 1));
    receiver.storePacket(p.data(), 4, 1000);
    receiver.dispatch(nullptr);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(receiver.packets.size(), 1u);
    EXPECT_EQ(capture.count("Thread counter more than one!\n"), 1u);
}

TEST(PacketReceiver, DiscardingDropsWhatWaitsAndTheRestOfTheRunningDispatch)
{
    CRecordingReceiver receiver;
    CSendRecorder device;
    Bytes p = nettest::packet(1, {7});
    auto fill = [&]
    {
        receiver.onEvent(networkEvent(1, 2, 2, "A"));
        receiver.onEvent(networkEvent(7, 2, 0));
        receiver.storePacket(p.data(), int32_t(p.size()), 2);
        receiver.queueSend(p.data(), int32_t(p.size()), 2);
    };
    fill();
    receiver.discardPending();
    receiver.dispatch(&device);
    EXPECT_TRUE(receiver.events.empty());
    EXPECT_TRUE(receiver.packets.empty());
    EXPECT_TRUE(device.sent.empty());

    // From the first event's callback: nothing after it, then or later.
    fill();
    receiver.onEventHook = [&](const nettest::SEvent&) { receiver.discardPending(); };
    receiver.dispatch(&device);
    EXPECT_EQ(receiver.events.size(), 1u);
    EXPECT_TRUE(receiver.packets.empty());
    EXPECT_TRUE(device.sent.empty());
    receiver.dispatch(&device);
    EXPECT_EQ(receiver.events.size(), 1u);

    // What arrives afterwards is delivered as usual.
    receiver.onEventHook = nullptr;
    fill();
    receiver.dispatch(&device);
    EXPECT_EQ(receiver.events.size(), 3u);
    EXPECT_EQ(receiver.packets.size(), 1u);
    EXPECT_EQ(device.sent.size(), 1u);
}

TEST(PacketReceiver, ThreadsStoringWhileTheMainThreadDispatches)
{
    CRecordingReceiver receiver;
    const int threads = 4, each = 5000;
    std::vector<std::thread> producers;
    for (int t = 0; t < threads; ++t)
        producers.emplace_back(
            [&, t]
            {
                for (int i = 0; i < each; ++i)
                {
                    Bytes p = nettest::packet(1, {uint8_t(i), uint8_t(i >> 8)});
                    while (!receiver.storePacket(p.data(), int32_t(p.size()), t))
                        receiver.waitForRoom(10);
                    if (i % 1000 == 0) receiver.onEvent(networkEvent(7, t, 0));
                }
            });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (receiver.packets.size() < size_t(threads * each) &&
           std::chrono::steady_clock::now() < deadline)
    {
        receiver.waitForDelivery(5);
        receiver.dispatch(nullptr);
    }
    for (std::thread& p : producers)
        p.join();
    receiver.dispatch(nullptr);
    ASSERT_EQ(receiver.packets.size(), size_t(threads * each));
    EXPECT_EQ(receiver.events.size(), size_t(threads * each / 1000));
    std::vector<int> next(threads, 0);
    for (const nettest::SPacket& p : receiver.packets)
    {
        int value = p.bytes[4] | p.bytes[5] << 8;
        EXPECT_EQ(value, next[p.clientId]);
        next[p.clientId] = value + 1;
    }
}
