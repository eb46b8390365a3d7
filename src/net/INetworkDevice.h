// INetworkDevice: one end of a game session over TCP. A host listens and
// numbers its clients from 1; a client makes one connection to the host,
// which it addresses as id 1000. Everything that happens arrives as network
// events (SEngineEvent NetworkEvent, kinds in net/NetProtocol.h) on the
// device's own threads at the receiver handed to startServer or connect,
// which must stay until disconnect (or the device's end) has returned.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::net
{

class IPacketEventReceiver;
struct SSessionParameters;

class INetworkDevice : public virtual IUnknown
{
  public:
    // 0 when the device listens on the parameters' port; -1 in raw mode or
    // when the port cannot be bound.
    virtual int32_t startServer(IPacketEventReceiver* receiver,
                                const SSessionParameters& parameters) = 0;
    // 0 when the TCP connection is made (the handshake follows in packet
    // mode); -1 otherwise, after a connect-failed event.
    virtual int32_t connect(IPacketEventReceiver* receiver,
                            const SSessionParameters& parameters) = 0;
    // Closes every connection and stops every thread; no disconnect events
    // are raised for what this call closes.
    virtual void disconnect() = 0;
    // The host's first IPv4 address as dotted text.
    virtual core::CString getLocalAddress() = 0;
    // Sends one packet (its own length field says how long; `length` is how
    // many bytes the caller holds) or, with SEND_TEXT, a text up to its zero
    // byte. With SEND_QUEUED the bytes wait for flush, so the packets of one
    // turn go out in one write. The number of bytes sent (or queued), or -1.
    virtual int32_t send(int32_t clientId, const void* bytes, int32_t length, int32_t flags) = 0;
    // send to every client of the host except one, in order of acceptance.
    virtual void broadcast(const void* bytes, int32_t length, int32_t flags,
                           int32_t excludedClientId) = 0;
    // Sends what SEND_QUEUED kept, for every connection; one that cannot
    // take it is closed, as a failed send would close it.
    virtual void flush() = 0;
    // Undoes the scrambling of a received packet with its sender's key.
    virtual void descramble(uint8_t* packet, int32_t senderId) = 0;
    // Closes and forgets one client without an event.
    virtual void dropClient(int32_t clientId) = 0;
    // The per-frame turn on the main thread.
    virtual void update() = 0;
};

} // namespace zu::net
