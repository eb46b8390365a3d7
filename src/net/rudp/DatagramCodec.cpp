#include "net/rudp/DatagramCodec.h"

#include "net/rudp/RudpProtocol.h"

namespace kelvo::net::rudp
{
namespace
{

uint32_t get24(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}
uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void put24(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v >> 16));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

// One frame at data[at]; advances at. False when it does not fit or breaks
// a rule.
bool parseFrame(const uint8_t* data, size_t size, size_t& at, SFrameView& frame)
{
    if (size - at < 3) return false;
    const uint8_t flags = data[at];
    const size_t bits = size_t(data[at + 1]) << 8 | data[at + 2];
    at += 3;
    SFrameHeader& h = frame.header;
    h.reliability = uint8_t(flags >> 5);
    h.split = (flags & 0x10) != 0;
    if (isReliable(h.reliability))
    {
        if (size - at < 3) return false;
        h.reliableIndex = get24(data + at);
        at += 3;
    }
    if (isSequenced(h.reliability))
    {
        if (size - at < 3) return false;
        h.sequencingIndex = get24(data + at);
        at += 3;
    }
    if (hasOrderingFields(h.reliability))
    {
        if (size - at < 4) return false;
        h.orderingIndex = get24(data + at);
        h.orderingChannel = data[at + 3];
        at += 4;
        if (h.orderingChannel >= ORDERING_CHANNELS) return false;
    }
    if (h.split)
    {
        if (size - at < 10) return false;
        h.splitCount = get32(data + at);
        h.splitId = uint16_t(data[at + 4] << 8 | data[at + 5]);
        h.splitIndex = get32(data + at + 6);
        at += 10;
        if (h.splitCount == 0 || h.splitCount > MAX_SPLIT_COUNT || h.splitIndex >= h.splitCount)
            return false;
    }
    const size_t bytes = (bits + 7) / 8;
    if (bytes == 0 || bytes > size - at) return false;
    frame.payload = data + at;
    frame.size = bytes;
    at += bytes;
    return true;
}

} // namespace

bool parseDatagram(const uint8_t* data, size_t size, SDatagramView& out)
{
    out.frames.clear();
    out.ranges.clear();
    if (size < 1 || !(data[0] & DATAGRAM_VALID)) return false;
    out.flags = data[0];
    if (data[0] & DATAGRAM_ACK)
    {
        out.kind = DK_ACK;
        size_t at = 1;
        if (data[0] & DATAGRAM_HAS_B_AND_AS) at += 4;
        return at <= size && CRangeList::read(data + at, size - at, out.ranges);
    }
    if (data[0] & DATAGRAM_NAK)
    {
        out.kind = DK_NAK;
        return CRangeList::read(data + 1, size - 1, out.ranges);
    }
    out.kind = DK_DATA;
    if (size < DATAGRAM_HEADER_SIZE) return false;
    out.sequence = get24(data + 1);
    size_t at = DATAGRAM_HEADER_SIZE;
    while (at < size)
    {
        SFrameView frame;
        if (!parseFrame(data, size, at, frame))
        {
            out.frames.clear();
            return false;
        }
        out.frames.push_back(frame);
    }
    return !out.frames.empty();
}

size_t frameHeaderSize(const SFrameHeader& h)
{
    size_t n = 3;
    if (isReliable(h.reliability)) n += 3;
    if (isSequenced(h.reliability)) n += 3;
    if (hasOrderingFields(h.reliability)) n += 4;
    if (h.split) n += 10;
    return n;
}

void writeFrame(std::vector<uint8_t>& out, const SFrameHeader& h, const uint8_t* payload,
                size_t size)
{
    out.push_back(uint8_t(h.reliability << 5 | (h.split ? 0x10 : 0)));
    const size_t bits = size * 8;
    out.push_back(uint8_t(bits >> 8));
    out.push_back(uint8_t(bits));
    if (isReliable(h.reliability)) put24(out, h.reliableIndex);
    if (isSequenced(h.reliability)) put24(out, h.sequencingIndex);
    if (hasOrderingFields(h.reliability))
    {
        put24(out, h.orderingIndex);
        out.push_back(h.orderingChannel);
    }
    if (h.split)
    {
        put32(out, h.splitCount);
        out.push_back(uint8_t(h.splitId >> 8));
        out.push_back(uint8_t(h.splitId));
        put32(out, h.splitIndex);
    }
    out.insert(out.end(), payload, payload + size);
}

void writeDataHeader(std::vector<uint8_t>& out, uint32_t sequence, uint8_t flags)
{
    out.push_back(uint8_t(DATAGRAM_VALID | flags));
    put24(out, sequence);
}

} // namespace kelvo::net::rudp
