#include "net/rudp/SSystemAddress.h"

#include "net/rudp/CUdpSocket.h"

#include <cstring>

namespace kelvo::net::rudp
{

SSystemAddress SSystemAddress::ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port)
{
    SSystemAddress s;
    s.family = EF_IPV4;
    s.bytes[0] = a;
    s.bytes[1] = b;
    s.bytes[2] = c;
    s.bytes[3] = d;
    s.port = port;
    return s;
}

SSystemAddress SSystemAddress::loopback(EFamily family, uint16_t port)
{
    if (family != EF_IPV6) return ipv4(127, 0, 0, 1, port);
    SSystemAddress s;
    s.family = EF_IPV6;
    s.bytes[15] = 1;
    s.port = port;
    return s;
}

bool SSystemAddress::isLoopback() const
{
    if (family == EF_IPV4) return bytes[0] == 127;
    if (family != EF_IPV6) return false;
    for (int i = 0; i < 15; ++i)
        if (bytes[i]) return false;
    return bytes[15] == 1;
}

bool SSystemAddress::isBroadcast() const
{
    return family == EF_IPV4 && bytes[0] == 255 && bytes[1] == 255 && bytes[2] == 255 &&
           bytes[3] == 255;
}

std::string SSystemAddress::toString(bool withPort) const
{
    if (family == EF_NONE) return "UNASSIGNED_SYSTEM_ADDRESS";
    std::string text;
    if (family == EF_IPV4)
        text = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
               std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
    else
        text = CUdpSocket::formatIPv6(bytes);
    if (withPort) text += "|" + std::to_string(port);
    return text;
}

bool SSystemAddress::fromString(const std::string& text, SSystemAddress& out)
{
    out = SSystemAddress();
    std::string host = text;
    unsigned port = 0;
    const size_t bar = text.rfind('|');
    if (bar != std::string::npos)
    {
        host = text.substr(0, bar);
        const std::string digits = text.substr(bar + 1);
        if (digits.empty() || digits.size() > 5) return false;
        for (char c : digits)
        {
            if (c < '0' || c > '9') return false;
            port = port * 10 + unsigned(c - '0');
        }
        if (port > 65535) return false;
    }
    SSystemAddress parsed;
    if (!CUdpSocket::parseNumeric(host, parsed)) return false;
    parsed.port = uint16_t(port);
    out = parsed;
    return true;
}

bool SSystemAddress::operator==(const SSystemAddress& o) const
{
    if (family != o.family || port != o.port) return false;
    return memcmp(bytes, o.bytes, family == EF_IPV6 ? 16 : 4) == 0;
}

bool SSystemAddress::operator<(const SSystemAddress& o) const
{
    if (family != o.family) return family < o.family;
    const int c = memcmp(bytes, o.bytes, family == EF_IPV6 ? 16 : 4);
    if (c != 0) return c < 0;
    return port < o.port;
}

uint64_t SSystemAddress::key() const
{
    uint64_t h = 1469598103934665603ull ^ family;
    const int n = family == EF_IPV6 ? 16 : 4;
    for (int i = 0; i < n; ++i)
        h = (h ^ bytes[i]) * 1099511628211ull;
    return (h ^ port) * 1099511628211ull;
}

} // namespace kelvo::net::rudp
