// SSystemAddress: an IPv4 or IPv6 address with a port, as the peer names the
// systems it talks to. The text form is the address, "|" and the decimal
// port ("127.0.0.1|19132", "::1|19132").
#pragma once

#include <cstdint>
#include <string>

namespace kelvo::net::rudp
{

enum EFamily : uint8_t
{
    EF_NONE = 0,
    EF_IPV4 = 4,
    EF_IPV6 = 6
};

struct SSystemAddress
{
    EFamily family = EF_NONE;
    // IPv4 in the first four bytes; both in network order.
    uint8_t bytes[16] = {};
    uint16_t port = 0;
    uint32_t scopeId = 0;

    static SSystemAddress ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port);
    static SSystemAddress loopback(EFamily family, uint16_t port);

    bool isAssigned() const { return family != EF_NONE; }
    bool isLoopback() const;
    bool isBroadcast() const;

    // "address|port", or the address alone; "UNASSIGNED_SYSTEM_ADDRESS" when
    // unassigned.
    std::string toString(bool withPort = true) const;
    // Numeric text only ("1.2.3.4|5", "::1|5", "1.2.3.4" with port 0); false
    // for anything else, out unassigned.
    static bool fromString(const std::string& text, SSystemAddress& out);

    bool operator==(const SSystemAddress& o) const;
    bool operator!=(const SSystemAddress& o) const { return !(*this == o); }
    bool operator<(const SSystemAddress& o) const;
    // For hashing: the address and port folded together.
    uint64_t key() const;
};

} // namespace kelvo::net::rudp
