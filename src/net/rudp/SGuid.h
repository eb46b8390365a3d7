// SGuid: the 64-bit identifier a peer picks at random when it is made and
// keeps for its life; connections and packets name peers by it. Its text
// form is the unsigned decimal number.
#pragma once

#include <cstdint>
#include <string>

namespace kelvo::net::rudp
{

struct SGuid
{
    static constexpr uint64_t UNASSIGNED = ~uint64_t(0);

    uint64_t value = UNASSIGNED;

    SGuid() = default;
    explicit SGuid(uint64_t v) : value(v) {}

    bool isAssigned() const { return value != UNASSIGNED; }
    std::string toString() const;
    // Decimal digits only (at most 20, within 64 bits); anything else is
    // false and leaves out unassigned.
    static bool fromString(const std::string& text, SGuid& out);
    // A fresh random identifier (never the unassigned one).
    static SGuid random();

    bool operator==(const SGuid& o) const { return value == o.value; }
    bool operator!=(const SGuid& o) const { return value != o.value; }
    bool operator<(const SGuid& o) const { return value < o.value; }
};

} // namespace kelvo::net::rudp
