#include "net/rudp/CRangeList.h"

#include <algorithm>

namespace kelvo::net::rudp
{
namespace
{

void put24(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v >> 16));
}

uint32_t get24(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

} // namespace

void CRangeList::insert(uint32_t n)
{
    // Numbers mostly arrive in order: the last range is the usual place.
    if (!m_ranges.empty())
    {
        SRange& last = m_ranges.back();
        if (n >= last.min && n <= last.max) return;
        if (n == last.max + 1)
        {
            last.max = n;
            return;
        }
        if (n > last.max)
        {
            m_ranges.push_back({n, n});
            return;
        }
    }
    auto it = std::lower_bound(m_ranges.begin(), m_ranges.end(), n,
                               [](const SRange& r, uint32_t v) { return r.max < v; });
    if (it != m_ranges.end() && n >= it->min) return;
    if (it != m_ranges.end() && n + 1 == it->min)
    {
        it->min = n;
        if (it != m_ranges.begin() && (it - 1)->max + 1 == n)
        {
            (it - 1)->max = it->max;
            m_ranges.erase(it);
        }
        return;
    }
    if (it != m_ranges.begin() && (it - 1)->max + 1 == n)
    {
        (it - 1)->max = n;
        return;
    }
    m_ranges.insert(it, {n, n});
}

void CRangeList::write(std::vector<uint8_t>& out, size_t maxBytes)
{
    const size_t countAt = out.size();
    out.push_back(0);
    out.push_back(0);
    size_t used = 2;
    size_t written = 0;
    for (const SRange& r : m_ranges)
    {
        const size_t cost = r.min == r.max ? 4 : 7;
        if (written > 0 && used + cost > maxBytes) break;
        if (written == 65535) break;
        out.push_back(r.min == r.max ? 1 : 0);
        put24(out, r.min);
        if (r.min != r.max) put24(out, r.max);
        used += cost;
        ++written;
    }
    out[countAt] = uint8_t(written >> 8);
    out[countAt + 1] = uint8_t(written);
    m_ranges.erase(m_ranges.begin(), m_ranges.begin() + ptrdiff_t(written));
}

bool CRangeList::read(const uint8_t* data, size_t size, std::vector<SRange>& out)
{
    out.clear();
    if (size < 2) return false;
    const unsigned count = unsigned(data[0]) << 8 | data[1];
    size_t at = 2;
    for (unsigned i = 0; i < count; ++i)
    {
        if (at + 4 > size) return false;
        const bool single = data[at] != 0;
        const uint32_t min = get24(data + at + 1);
        at += 4;
        uint32_t max = min;
        if (!single)
        {
            if (at + 3 > size) return false;
            max = get24(data + at);
            at += 3;
        }
        if (max >= min) out.push_back({min, max});
    }
    return true;
}

} // namespace kelvo::net::rudp
