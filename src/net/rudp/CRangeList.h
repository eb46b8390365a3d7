// CRangeList: datagram sequence numbers gathered for an acknowledgement
// (ACK) or a negative one (NAK), kept as sorted ranges.
//
// On the wire: a 16-bit count of ranges, then per range one byte (1 when the
// range is a single number), its first number and, for a longer range, its
// last, each 24-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvo::net::rudp
{

struct SRange
{
    uint32_t min;
    uint32_t max;
};

class CRangeList
{
  public:
    void insert(uint32_t number);
    bool empty() const { return m_ranges.empty(); }
    size_t rangeCount() const { return m_ranges.size(); }
    const std::vector<SRange>& ranges() const { return m_ranges; }
    void clear() { m_ranges.clear(); }

    // Appends as many ranges as fit in maxBytes (the count included; at least
    // one range) and removes them from the list.
    void write(std::vector<uint8_t>& out, size_t maxBytes);
    // Reads a list from data; false when it is cut short. A range whose last
    // number is below its first is left out.
    static bool read(const uint8_t* data, size_t size, std::vector<SRange>& out);

  private:
    std::vector<SRange> m_ranges;
};

} // namespace kelvo::net::rudp
