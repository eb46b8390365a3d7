#include "net/IPacketEventReceiver.h"

#include "core/Output.h"
#include "net/INetworkDevice.h"
#include "net/NetProtocol.h"

#include <chrono>
#include <cstring>

namespace zu::net
{

IPacketEventReceiver::IPacketEventReceiver()
{
    for (SPacketBuffer& buffer : m_buffers)
    {
        buffer.data.reserve(65536);
        buffer.entries.reserve(4096);
    }
}

IPacketEventReceiver::~IPacketEventReceiver() = default;

bool IPacketEventReceiver::onEvent(const event::SEngineEvent& event)
{
    if (event.type != event::NetworkEvent) return false;
    const event::SNetworkEvent& network = event.network;
    if (network.kind == NEK_DATA)
    {
        // The device waits for room itself; anyone else posting data past the
        // limits loses it, and is told so.
        if (!storePacket(network.data, network.length, network.clientId))
            core::zuPrint("ERROR: Packet write buffer exceeded!\n");
        return true;
    }
    SQueuedEvent queued{event, network.data != nullptr, std::string()};
    if (queued.hasText) queued.text = static_cast<const char*>(network.data);
    queued.event.network.data = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back(std::move(queued));
    }
    m_activity.notify_all();
    return true;
}

bool IPacketEventReceiver::storePacket(const void* bytes, int32_t length, int32_t clientId)
{
    if (!bytes || length <= 0 || length > 0xFFFF) return true;
    bool first;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        SPacketBuffer& buffer = m_buffers[m_writeIndex];
        if (buffer.data.size() + size_t(length) > PENDING_BYTES_LIMIT ||
            buffer.entries.size() >= PENDING_PACKETS_LIMIT)
            return false;
        first = buffer.entries.empty();
        const auto* from = static_cast<const uint8_t*>(bytes);
        buffer.data.insert(buffer.data.end(), from, from + length);
        buffer.entries.push_back({clientId, uint16_t(length)});
    }
    // Waiters wait for the first packet; the ones after it wake nobody.
    if (first) m_activity.notify_all();
    return true;
}

void IPacketEventReceiver::waitForRoom(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(m_lock);
    uint64_t dispatches = m_dispatches, wakes = m_wakes;
    m_room.wait_for(lock, std::chrono::milliseconds(ms),
                    [&] { return m_dispatches != dispatches || m_wakes != wakes; });
}

void IPacketEventReceiver::wakeWaiters()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_wakes;
    }
    m_room.notify_all();
    m_activity.notify_all();
}

bool IPacketEventReceiver::hasPendingLocked() const
{
    return !m_events.empty() || !m_buffers[m_writeIndex].entries.empty();
}

bool IPacketEventReceiver::waitForDelivery(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(m_lock);
    uint64_t wakes = m_wakes;
    return m_activity.wait_for(lock, std::chrono::milliseconds(ms),
                               [&] { return hasPendingLocked() || m_wakes != wakes; }) &&
           hasPendingLocked();
}

void IPacketEventReceiver::dispatch(INetworkDevice* device)
{
    if (m_dispatching)
    {
        core::zuPrint("Thread counter more than one!\n");
        return;
    }
    m_dispatching = true;
    m_discarded = false;

    std::vector<SQueuedEvent> events;
    std::vector<SQueuedSend> sends;
    SPacketBuffer* read;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        read = &m_buffers[m_writeIndex];
        m_writeIndex ^= 1;
        ++m_dispatches;
        events.swap(m_events);
        sends.swap(m_sends);
    }
    m_room.notify_all();

    for (SQueuedEvent& queued : events)
    {
        if (m_discarded) break;
        event::SEngineEvent event = queued.event;
        event.network.data = queued.hasText ? queued.text.c_str() : nullptr;
        handleNetworkEvent(event);
    }

    size_t offset = 0;
    for (const SPacketEntry& entry : read->entries)
    {
        if (m_discarded) break;
        handlePacket(read->data.data() + offset, entry.length, entry.clientId);
        offset += entry.length;
    }
    // Cleared outside the lock: no thread writes this buffer before the next swap.
    read->data.clear();
    read->entries.clear();

    for (const SQueuedSend& send : sends)
        if (device && !m_discarded)
            device->send(send.clientId, send.bytes.data(), int32_t(send.bytes.size()), 0);

    m_dispatching = false;
}

void IPacketEventReceiver::discardPending()
{
    if (m_dispatching) m_discarded = true;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.clear();
        m_sends.clear();
        m_buffers[m_writeIndex].data.clear();
        m_buffers[m_writeIndex].entries.clear();
    }
    m_room.notify_all();
}

void IPacketEventReceiver::queueSend(const void* bytes, int32_t length, int32_t clientId)
{
    if (!bytes || length < int32_t(PACKET_HEADER_SIZE)) return;
    const auto* from = static_cast<const uint8_t*>(bytes);
    std::lock_guard<std::mutex> lock(m_lock);
    m_sends.push_back({clientId, std::vector<uint8_t>(from, from + length)});
}

} // namespace zu::net
