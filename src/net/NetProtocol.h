// The numbers of the session protocol over TCP: packet limits, the control
// packet types, the handshake codes, the kinds of network event and the
// flags of a send. Every packet starts with its type (int16) and its total
// length (uint16, these four header bytes included).
#pragma once

#include <cstdint>

namespace zu::net
{

constexpr uint16_t PACKET_HEADER_SIZE = 4;
// The receiving side frames packets of 4 to 16384 bytes; anything else
// closes the connection, so the sending side refuses to make one.
constexpr uint16_t PACKET_MAX_SIZE = 16384;

// The id under which the host is addressed and reported.
constexpr int32_t HOST_CLIENT_ID = 1000;

// Types with this bit set belong to the device itself; scripts never send them.
constexpr uint16_t CONTROL_TYPE_BIT = 0x4000;

enum EControlPacket : uint16_t
{
    CP_SERVER_HELLO = 0x4000, // client id, code, key (int32 each)
    CP_CLIENT_HELLO = 0x4001, // player name (UTF-16, zero unit), game version (zero byte)
    CP_PING = 0x4002,
    CP_PONG = 0x4003,
    CP_DISCONNECT = 0x4004,
    CP_COMPRESSED = 0x4005 // a batch of packets in the compressed format
};

enum EHandshakeCode : int32_t
{
    HCSR_HELLO = 0,
    HCSR_WELCOME = 1,
    HCSR_SERVER_FULL = 2,
    HCSR_INCORRECT_VERSION = 3,
    HCSR_ERROR = 4
};

// SEngineEvent::network.kind of the events a network device raises.
enum ENetworkEventKind : int32_t
{
    NEK_HOST_STARTED = 0,     // clientId 1000, data: the device name
    NEK_CLIENT_CONNECTED = 1, // clientId and length: the client's id, data: its player name
    NEK_CONNECTED = 2,        // length: the own client id (0 in raw mode)
    NEK_CONNECT_FAILED = 3,   // also a refusal with HCSR_ERROR
    NEK_SERVER_FULL = 4,
    NEK_INCORRECT_VERSION = 5,
    NEK_DATA = 6,                // clientId: the sender, length and data: the packet or chunk
    NEK_CLIENT_DISCONNECTED = 7, // extra: the client's extra value
    NEK_DISCONNECTED = 8         // clientId 1000
};

enum ESendFlags : int32_t
{
    SEND_TEXT = 1,      // the bytes are text up to their zero byte
    SEND_SCRAMBLED = 2, // the packet body is scrambled with the recipient's key
    SEND_QUEUED = 4     // kept until the device's flush (or the connection's next send)
};

// Whether a packet type is one of the device's own.
inline bool isControlType(int32_t type)
{
    return (uint32_t(type) & CONTROL_TYPE_BIT) != 0;
}

} // namespace zu::net
