// IPacketEventReceiver: where a network device's threads leave what they
// receive, and where the main thread picks it up once per frame.
//
// Events are queued with their text copied; packets are copied into the
// write buffer of two. dispatch swaps the buffers and takes the event and
// send queues under the lock, then delivers outside it (events first, then
// packets, each in arrival order, then the queued sends), so a callback that
// disconnects or sends never waits for a receive thread that waits for it.
//
// Every packet that arrived before a dispatch is delivered by it: the
// buffers start at 64 KiB and 4096 packets and grow when a frame brings more.
// Only when 4 MiB (or 262144 packets) wait undelivered does storePacket
// refuse; the device's receive thread then waits for the next dispatch
// instead of reading on, and TCP holds the sender back. Nothing is dropped.
#pragma once

#include "event/IEventReceiver.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace zu::net
{

class INetworkDevice;

class IPacketEventReceiver : public event::IEventReceiver
{
  public:
    static constexpr size_t PENDING_BYTES_LIMIT = size_t(4) << 20;
    static constexpr size_t PENDING_PACKETS_LIMIT = 262144;

    IPacketEventReceiver();
    ~IPacketEventReceiver() override;

    // Network events from any thread: data (kind 6) is stored as a packet,
    // every other kind is queued. True for network events, false for others.
    bool onEvent(const event::SEngineEvent& event) override;

    // Called by dispatch on the main thread. The event's data pointer, and
    // the packet bytes, are valid only during the call; the bytes may be
    // changed in place (descrambled).
    virtual void handleNetworkEvent(const event::SEngineEvent& event) = 0;
    virtual void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) = 0;

    // Any thread: copies the packet for the next dispatch. False, storing
    // nothing, while the undelivered packets fill the limits above.
    bool storePacket(const void* bytes, int32_t length, int32_t clientId);
    // Waits until a dispatch makes room, wakeWaiters is called or ms pass.
    void waitForRoom(uint32_t ms);
    // Ends every waitForRoom and waitForDelivery at once.
    void wakeWaiters();

    // Main thread, once per frame. A dispatch from inside a callback does
    // nothing. Queued sends go through the device with flags 0.
    void dispatch(INetworkDevice* device);
    // Copies a packet (length of at least 4) to send during the next dispatch.
    void queueSend(const void* bytes, int32_t length, int32_t clientId);
    // Drops every event, packet and send waiting for dispatch; called from a
    // callback, the running dispatch delivers nothing more either. For a
    // session that ends: what its connections left must not reach the next.
    void discardPending();
    // Waits up to ms until an event or a packet waits for dispatch; true then.
    // For loops that have nothing else to do between frames.
    bool waitForDelivery(uint32_t ms);

  private:
    struct SPacketEntry
    {
        int32_t clientId;
        uint16_t length;
    };
    struct SPacketBuffer
    {
        std::vector<uint8_t> data;
        std::vector<SPacketEntry> entries;
    };
    struct SQueuedEvent
    {
        event::SEngineEvent event;
        bool hasText;
        std::string text;
    };
    struct SQueuedSend
    {
        int32_t clientId;
        std::vector<uint8_t> bytes;
    };

    bool hasPendingLocked() const;

    std::mutex m_lock;
    std::condition_variable m_room;
    std::condition_variable m_activity;
    std::vector<SQueuedEvent> m_events;
    std::vector<SQueuedSend> m_sends;
    SPacketBuffer m_buffers[2];
    int m_writeIndex = 0;
    uint64_t m_dispatches = 0;
    uint64_t m_wakes = 0;
    bool m_dispatching = false;
    // Set by discardPending during a dispatch; the main thread's own.
    bool m_discarded = false;
};

} // namespace zu::net
