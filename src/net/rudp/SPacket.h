// SPacket: one message received by a peer, or a notice the peer makes
// itself (a connection accepted, lost, a punch-through result): the message
// bytes, id first, and the system it concerns.
#pragma once

#include "net/rudp/SGuid.h"
#include "net/rudp/SSystemAddress.h"

#include <cstdint>
#include <vector>

namespace kelvo::net::rudp
{

struct SPacket
{
    SSystemAddress address;
    SGuid guid;
    std::vector<uint8_t> data;

    uint8_t id() const { return data.empty() ? 0 : data[0]; }
};

} // namespace kelvo::net::rudp
