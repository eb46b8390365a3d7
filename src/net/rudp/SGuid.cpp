#include "net/rudp/SGuid.h"

#include <chrono>
#include <random>

namespace kelvo::net::rudp
{

std::string SGuid::toString() const
{
    return std::to_string(value);
}

bool SGuid::fromString(const std::string& text, SGuid& out)
{
    out = SGuid();
    if (text.empty() || text.size() > 20) return false;
    uint64_t v = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9') return false;
        const unsigned digit = unsigned(c - '0');
        if (v > (UNASSIGNED - digit) / 10) return false;
        v = v * 10 + digit;
    }
    out.value = v;
    return true;
}

SGuid SGuid::random()
{
    std::random_device device;
    const uint64_t clock = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 mix((uint64_t(device()) << 32 | device()) ^ clock);
    uint64_t v = mix();
    while (v == UNASSIGNED)
        v = mix();
    return SGuid(v);
}

} // namespace kelvo::net::rudp
