#include "net/PacketScrambler.h"

#include "net/NetProtocol.h"

namespace zu::net
{

void scramblePacket(uint8_t* packet, size_t length, uint32_t key)
{
    for (size_t i = 0; i + PACKET_HEADER_SIZE < length; ++i)
    {
        unsigned shift = 24 - 8 * (i % 4);
        packet[PACKET_HEADER_SIZE + i] ^= uint8_t(key >> shift);
        if (i % 4 == 3) key = (key >> 1) | (key << 31);
    }
}

uint32_t deriveClientKey(int32_t clientId)
{
    // An odd factor spreads consecutive ids; the mask keeps every key
    // non-zero and touches only the top byte, so the first 5000 ids or so
    // all get keys of their own.
    return (uint32_t(clientId) * 2971u) | 0xA5000000u;
}

} // namespace zu::net
