// RudpProtocol: the constants of the reliable-UDP wire protocol that every
// part of the peer shares, and the library's clock.
//
// Offline messages (the ones exchanged before a connection exists: pings,
// the open-connection requests and replies, refusals) carry the 16-byte
// offline magic, which no connected datagram can start with, since those
// always have the top bit of their first byte set. Multi-byte numbers are in
// network byte order except the 24-bit sequence and message numbers of the
// reliability layer, which are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#ifndef PELLORA_RUDP_PROTOCOL_VERSION
#define PELLORA_RUDP_PROTOCOL_VERSION 6
#endif

namespace kelvo::net::rudp
{

// Milliseconds on the library's clock (see getTime).
using RakTime = uint64_t;

// The milliseconds since this process first asked; peers compare clocks only
// through the offset their pings measure.
RakTime getTime();

// Sent in the first open-connection request; a host answers a different one
// with ID_INCOMPATIBLE_PROTOCOL_VERSION.
constexpr uint8_t PROTOCOL_VERSION = PELLORA_RUDP_PROTOCOL_VERSION;

constexpr uint8_t OFFLINE_MAGIC[16] = {0x00, 0xFF, 0xFF, 0x00, 0xFE, 0xFE, 0xFE, 0xFE,
                                       0xFD, 0xFD, 0xFD, 0xFD, 0x12, 0x34, 0x56, 0x78};

// The MTUs a connection attempt tries, largest first; each attempt pads its
// first request to the MTU less the IP and UDP headers.
constexpr uint16_t MTU_SIZES[3] = {1492, 1200, 576};
constexpr uint16_t MAXIMUM_MTU = 1492;
constexpr uint16_t MINIMUM_MTU = 400;
constexpr size_t UDP_HEADER_SIZE = 28;

constexpr unsigned ORDERING_CHANNELS = 32;
// The internal addresses a connection's handshake lists (peers of another
// build may send 20; readers take whatever count the message holds).
constexpr unsigned INTERNAL_ADDRESSES = 10;

// How long a connection may stay silent before it is lost.
constexpr RakTime DEFAULT_TIMEOUT = 10000;

enum EPriority : uint8_t
{
    IMMEDIATE_PRIORITY = 0,
    HIGH_PRIORITY = 1,
    MEDIUM_PRIORITY = 2,
    LOW_PRIORITY = 3,
    NUMBER_OF_PRIORITIES = 4
};

// The values 5 to 7 behave as 0, 2 and 3 and also report to the sender
// whether the message arrived (ID_SND_RECEIPT_ACKED, ID_SND_RECEIPT_LOSS);
// the wire carries the plain value.
enum EReliability : uint8_t
{
    UNRELIABLE = 0,
    UNRELIABLE_SEQUENCED = 1,
    RELIABLE = 2,
    RELIABLE_ORDERED = 3,
    RELIABLE_SEQUENCED = 4,
    UNRELIABLE_WITH_ACK_RECEIPT = 5,
    RELIABLE_WITH_ACK_RECEIPT = 6,
    RELIABLE_ORDERED_WITH_ACK_RECEIPT = 7
};

inline bool isReliable(unsigned r)
{
    return r == 2 || r == 3 || r == 4 || r == 6 || r == 7;
}
inline bool isSequenced(unsigned r)
{
    return r == 1 || r == 4;
}
inline bool isOrdered(unsigned r)
{
    return r == 3 || r == 7;
}
inline bool hasOrderingFields(unsigned r)
{
    return isSequenced(r) || isOrdered(r);
}
inline bool wantsReceipt(unsigned r)
{
    return r >= 5;
}
// What goes on the wire for a reliability.
inline uint8_t wireReliability(unsigned r)
{
    return uint8_t(r == 5 ? 0 : r == 6 ? 2 : r == 7 ? 3 : r);
}

// 24-bit sequence arithmetic: a comes before b when b is less than half the
// number space ahead of it.
constexpr uint32_t SEQUENCE_MASK = 0xFFFFFF;
inline uint32_t seqAdd(uint32_t a, uint32_t n)
{
    return (a + n) & SEQUENCE_MASK;
}
inline uint32_t seqDistance(uint32_t from, uint32_t to)
{
    return (to - from) & SEQUENCE_MASK;
}
inline bool seqBefore(uint32_t a, uint32_t b)
{
    const uint32_t d = seqDistance(a, b);
    return d != 0 && d < 0x800000;
}

} // namespace kelvo::net::rudp
