// Frames and acknowledgement ranges on the wire, and the parser's refusals.
#include "net/rudp/CRangeList.h"
#include "net/rudp/DatagramCodec.h"
#include "net/rudp/RudpProtocol.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvo::net::rudp;

namespace
{

using Bytes = std::vector<uint8_t>;

Bytes frameBytes(const SFrameHeader& h, const Bytes& payload)
{
    Bytes out;
    writeFrame(out, h, payload.data(), payload.size());
    return out;
}

Bytes datagram(uint32_t sequence, const Bytes& frames)
{
    Bytes out;
    writeDataHeader(out, sequence, 0);
    out.insert(out.end(), frames.begin(), frames.end());
    return out;
}

} // namespace

TEST(Datagrams, FrameHeadersByReliability)
{
    struct SCase
    {
        const char* what;
        SFrameHeader header;
        Bytes expected;
    };
    SFrameHeader unreliable;
    SFrameHeader reliable;
    reliable.reliability = RELIABLE;
    reliable.reliableIndex = 0x010203;
    SFrameHeader ordered;
    ordered.reliability = RELIABLE_ORDERED;
    ordered.reliableIndex = 1;
    ordered.orderingIndex = 2;
    ordered.orderingChannel = 3;
    SFrameHeader sequenced;
    sequenced.reliability = UNRELIABLE_SEQUENCED;
    sequenced.sequencingIndex = 5;
    sequenced.orderingIndex = 6;
    sequenced.orderingChannel = 31;
    SFrameHeader split = ordered;
    split.split = true;
    split.splitCount = 4;
    split.splitId = 0x0102;
    split.splitIndex = 3;
    const SCase cases[] = {
        {"unreliable: flags and the length in bits", unreliable, {0x00, 0x00, 0x10, 'h', 'i'}},
        {"reliable: the message index", reliable, {0x40, 0x00, 0x10, 0x03, 0x02, 0x01, 'h', 'i'}},
        {"reliable ordered: index, ordering index and channel",
         ordered,
         {0x60, 0x00, 0x10, 1, 0, 0, 2, 0, 0, 3, 'h', 'i'}},
        {"unreliable sequenced: sequencing and ordering index",
         sequenced,
         {0x20, 0x00, 0x10, 5, 0, 0, 6, 0, 0, 31, 'h', 'i'}},
        {"a split part: count, id and index, big-endian",
         split,
         {0x70, 0x00, 0x10, 1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 4, 1, 2, 0, 0, 0, 3, 'h', 'i'}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Bytes bytes = frameBytes(c.header, {'h', 'i'});
        EXPECT_EQ(bytes, c.expected);
        EXPECT_EQ(frameHeaderSize(c.header) + 2, bytes.size());
        const Bytes whole = datagram(0x0A0B0C, bytes);
        EXPECT_EQ(Bytes(whole.begin(), whole.begin() + 4), (Bytes{0x80, 0x0C, 0x0B, 0x0A}));
        SDatagramView view;
        ASSERT_TRUE(parseDatagram(whole.data(), whole.size(), view));
        ASSERT_EQ(view.frames.size(), 1u);
        const SFrameHeader& got = view.frames[0].header;
        EXPECT_EQ(view.sequence, 0x0A0B0Cu);
        EXPECT_EQ(got.reliability, c.header.reliability);
        EXPECT_EQ(got.reliableIndex, c.header.reliableIndex);
        EXPECT_EQ(got.sequencingIndex, c.header.sequencingIndex);
        EXPECT_EQ(got.orderingIndex, c.header.orderingIndex);
        EXPECT_EQ(got.orderingChannel, c.header.orderingChannel);
        EXPECT_EQ(got.split, c.header.split);
        EXPECT_EQ(got.splitCount, c.header.splitCount);
        EXPECT_EQ(got.splitId, c.header.splitId);
        EXPECT_EQ(got.splitIndex, c.header.splitIndex);
        EXPECT_EQ(Bytes(view.frames[0].payload, view.frames[0].payload + view.frames[0].size),
                  (Bytes{'h', 'i'}));
    }
}

TEST(Datagrams, AckRangesMergeAndEncode)
{
    CRangeList list;
    for (uint32_t n : {5u, 1u, 3u, 2u, 9u, 8u, 10u, 3u})
        list.insert(n);
    ASSERT_EQ(list.rangeCount(), 3u);
    Bytes out = {0xC0};
    list.write(out, 1000);
    EXPECT_EQ(out, (Bytes{0xC0, 0x00, 0x03, 0x00, 1, 0, 0, 3,  0, 0, 0x01,
                          5,    0,    0,    0x00, 8, 0, 0, 10, 0, 0}));
    EXPECT_TRUE(list.empty());
    SDatagramView view;
    ASSERT_TRUE(parseDatagram(out.data(), out.size(), view));
    EXPECT_EQ(view.kind, DK_ACK);
    ASSERT_EQ(view.ranges.size(), 3u);
    EXPECT_EQ(view.ranges[2].min, 8u);
    EXPECT_EQ(view.ranges[2].max, 10u);

    // A list too long for one datagram is written in pieces.
    for (uint32_t n = 0; n < 100; n += 2)
        list.insert(n);
    Bytes first;
    list.write(first, 2 + 4 * 10);
    EXPECT_EQ(first.size(), 2u + 4 * 10);
    EXPECT_EQ(list.rangeCount(), 40u);

    // With the rate estimate of a peer that sends one, it is skipped.
    const Bytes withRate = {0xE0, 0x41, 0x20, 0, 0, 0x00, 0x01, 0x01, 7, 0, 0};
    ASSERT_TRUE(parseDatagram(withRate.data(), withRate.size(), view));
    ASSERT_EQ(view.ranges.size(), 1u);
    EXPECT_EQ(view.ranges[0].min, 7u);
    const Bytes nak = {0xA0, 0x00, 0x01, 0x00, 2, 0, 0, 4, 0, 0};
    ASSERT_TRUE(parseDatagram(nak.data(), nak.size(), view));
    EXPECT_EQ(view.kind, DK_NAK);
    EXPECT_EQ(view.ranges[0].max, 4u);
}

TEST(Datagrams, MalformedDatagramsAreRefused)
{
    SFrameHeader split;
    split.reliability = RELIABLE;
    split.split = true;
    split.splitCount = 2;
    const Bytes good = datagram(1, frameBytes(split, {1, 2, 3}));
    struct SCase
    {
        const char* what;
        Bytes bytes;
    };
    Bytes longLength = good;
    longLength[6] = 0x20; // 32 bits where 3 bytes follow
    Bytes zeroCount = good;
    zeroCount[13] = 0;
    Bytes indexBeyond = good;
    indexBeyond[19] = 2;
    Bytes hugeCount = good;
    hugeCount[11] = 0x10;
    Bytes badChannel = datagram(1, {0x60, 0x00, 0x08, 0, 0, 0, 0, 0, 0, 32, 'x'});
    const SCase cases[] = {
        {"the top bit clear", {0x00, 0, 0, 0}},
        {"a data header cut short", {0x84, 1, 0}},
        {"no frame", {0x84, 1, 0, 0}},
        {"a frame header cut short", datagram(1, {0x40, 0x00})},
        {"a length beyond the datagram", longLength},
        {"a zero length", datagram(1, {0x00, 0x00, 0x00})},
        {"a split count of zero", zeroCount},
        {"a part index at the count", indexBeyond},
        {"a split count beyond the limit", hugeCount},
        {"an ordering channel beyond 31", badChannel},
        {"a good frame then a cut one", datagram(1, {0x00, 0x00, 0x08, 'a', 0x00, 0x00})},
        {"an ACK count beyond its ranges", {0xC0, 0x00, 0x02, 0x01, 1, 0, 0}},
        {"an ACK range cut short", {0xC0, 0x00, 0x01, 0x00, 1, 0, 0, 2}},
        {"an ACK rate estimate cut short", {0xE0, 0x00}},
    };
    SDatagramView view;
    ASSERT_TRUE(parseDatagram(good.data(), good.size(), view));
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(parseDatagram(c.bytes.data(), c.bytes.size(), view));
        EXPECT_TRUE(view.frames.empty());
    }
}
