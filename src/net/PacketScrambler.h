// The scrambling of packet bodies: each body byte is XORed with one byte of
// the key, most significant first, and the key turns right by one bit after
// every fourth byte. The same call scrambles and unscrambles; the four
// header bytes stay readable so the stream can still be framed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::net
{

// Scrambles bytes 4 .. length - 1 of the packet in place.
void scramblePacket(uint8_t* packet, size_t length, uint32_t key);

// The key the host gives the client of an id. It travels in the welcome, so
// only the host needs to know how it is made.
uint32_t deriveClientKey(int32_t clientId);

} // namespace zu::net
