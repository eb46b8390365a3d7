// The reliability layer between two ends over a simulated wire that loses,
// reorders and duplicates datagrams, on a simulated clock; and what a remote
// side that breaks the rules can make it do.
#include "net/rudp/CReliabilityLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>

using namespace kelvo::net::rudp;

namespace
{

using Bytes = std::vector<uint8_t>;

// A message numbered n on a channel, `size` bytes long, that says both.
Bytes numbered(uint32_t n, uint8_t channel, size_t size = 8)
{
    Bytes m(std::max<size_t>(size, 5));
    m[0] = channel;
    for (int i = 0; i < 4; ++i)
        m[1 + i] = uint8_t(n >> (24 - 8 * i));
    for (size_t i = 5; i < m.size(); ++i)
        m[i] = uint8_t(i * 7 + n);
    return m;
}

uint32_t numberOf(const Bytes& m)
{
    return uint32_t(m[1]) << 24 | uint32_t(m[2]) << 16 | uint32_t(m[3]) << 8 | m[4];
}

struct SWire
{
    double drop = 0;
    double reorder = 0;
    double duplicate = 0;
};

// Two layers joined by a wire; every step advances the clock 1 ms, lets both
// ends send and delivers what survived the wire.
class CLink
{
  public:
    explicit CLink(SWire wire, uint32_t seed = 7) : m_wire(wire), m_random(seed) {}

    CReliabilityLayer a{1492};
    CReliabilityLayer b{1492};
    RakTime now = 1000;
    std::vector<Bytes> gotA, gotB;
    std::vector<SReceiptEvent> receiptsA;
    size_t datagramsToB = 0;

    void step()
    {
        ++now;
        std::vector<SReceiptEvent> ignored;
        a.update(
            now,
            [&](const uint8_t* d, size_t n)
            {
                carry(m_toB, d, n);
                ++datagramsToB;
            },
            receiptsA);
        b.update(
            now, [&](const uint8_t* d, size_t n) { carry(m_toA, d, n); }, ignored);
        deliver(m_toB, b, gotB);
        deliver(m_toA, a, gotA);
    }
    void run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            step();
    }
    // Steps until b has `count` messages or the steps run out.
    bool runUntil(size_t count, int steps)
    {
        for (int i = 0; i < steps && gotB.size() < count; ++i)
            step();
        return gotB.size() >= count;
    }

  private:
    void carry(std::vector<Bytes>& wire, const uint8_t* d, size_t n)
    {
        std::uniform_real_distribution<double> chance(0, 1);
        if (chance(m_random) < m_wire.drop) return;
        wire.emplace_back(d, d + n);
        if (chance(m_random) < m_wire.duplicate) wire.emplace_back(d, d + n);
    }
    void deliver(std::vector<Bytes>& wire, CReliabilityLayer& to, std::vector<Bytes>& got)
    {
        std::uniform_real_distribution<double> chance(0, 1);
        for (size_t i = 1; i < wire.size(); ++i)
            if (chance(m_random) < m_wire.reorder) std::swap(wire[i - 1], wire[i]);
        for (const Bytes& d : wire)
            EXPECT_TRUE(to.receive(d.data(), d.size(), now, got));
        wire.clear();
    }

    SWire m_wire;
    std::mt19937 m_random;
    std::vector<Bytes> m_toA, m_toB;
};

const SWire LOSSY = {0.10, 0.10, 0.05};

bool send(CReliabilityLayer& layer, const Bytes& m, uint8_t reliability, uint8_t channel = 0,
          uint32_t receipt = 0)
{
    return layer.send(m.data(), m.size(), MEDIUM_PRIORITY, reliability, channel, receipt);
}

} // namespace

TEST(Reliability, ReliableOrderedArrivesCompleteAndInOrderOnEachChannel)
{
    CLink link(LOSSY);
    const uint32_t perChannel = 300;
    for (uint32_t n = 0; n < perChannel; ++n)
        for (uint8_t channel : {0, 5})
            ASSERT_TRUE(send(link.a, numbered(n, channel, n % 50 == 0 ? 5000 : 40 + n % 300),
                             RELIABLE_ORDERED, channel));
    ASSERT_TRUE(link.runUntil(2 * perChannel, 20000));
    link.run(200);
    ASSERT_EQ(link.gotB.size(), 2 * perChannel);
    std::map<uint8_t, uint32_t> next;
    for (const Bytes& m : link.gotB)
    {
        EXPECT_EQ(numberOf(m), next[m[0]]++);
        EXPECT_EQ(m, numbered(numberOf(m), m[0], m.size()));
    }
    EXPECT_FALSE(link.a.busy());
    EXPECT_GT(link.a.resentFrames(), 0u);
}

TEST(Reliability, SplitMessagesOf5000BytesAndOneMegabyteAreReassembled)
{
    for (size_t size : {size_t(5000), size_t(1) << 20})
    {
        SCOPED_TRACE(size);
        CLink link(LOSSY, uint32_t(size));
        const Bytes big = numbered(1, 0, size);
        ASSERT_TRUE(send(link.a, big, RELIABLE_ORDERED));
        ASSERT_TRUE(send(link.a, numbered(2, 0, 10), RELIABLE_ORDERED));
        ASSERT_TRUE(link.runUntil(2, 60000));
        EXPECT_EQ(link.gotB[0], big);
        EXPECT_EQ(numberOf(link.gotB[1]), 2u);
    }
    // An unreliable message too large for one datagram travels reliably.
    CLink link(LOSSY, 3);
    const Bytes big = numbered(3, 0, 20000);
    ASSERT_TRUE(send(link.a, big, UNRELIABLE));
    ASSERT_TRUE(link.runUntil(1, 20000));
    EXPECT_EQ(link.gotB[0], big);
}

TEST(Reliability, SequencedNeverGoesBackwards)
{
    for (uint8_t reliability : {UNRELIABLE_SEQUENCED, RELIABLE_SEQUENCED})
    {
        SCOPED_TRACE(int(reliability));
        CLink link({0.10, 0.30, 0.05}, reliability);
        for (uint32_t n = 0; n < 400; ++n)
        {
            // Ordered messages in between start a new ordering index.
            ASSERT_TRUE(send(link.a, numbered(n, 0),
                             n % 40 == 0 ? uint8_t(RELIABLE_ORDERED) : reliability));
            if (n % 4 == 0) link.step();
        }
        link.run(3000);
        ASSERT_FALSE(link.gotB.empty());
        for (size_t i = 1; i < link.gotB.size(); ++i)
            EXPECT_LT(numberOf(link.gotB[i - 1]), numberOf(link.gotB[i]));
        if (reliability == RELIABLE_SEQUENCED)
        {
            EXPECT_EQ(numberOf(link.gotB.back()), 399u);
        }
        // Every ordered one arrived, wherever the sequenced ones fell.
        size_t ordered = 0;
        for (const Bytes& m : link.gotB)
            ordered += numberOf(m) % 40 == 0;
        EXPECT_EQ(ordered, 10u);
    }
}

TEST(Reliability, UnreliableMayLoseButNeverDuplicates)
{
    CLink link({0.10, 0.10, 0.30});
    for (uint32_t n = 0; n < 500; ++n)
    {
        ASSERT_TRUE(send(link.a, numbered(n, 0), UNRELIABLE));
        link.step();
    }
    link.run(100);
    std::set<uint32_t> seen;
    for (const Bytes& m : link.gotB)
        EXPECT_TRUE(seen.insert(numberOf(m)).second) << numberOf(m);
    EXPECT_LT(seen.size(), 500u);
    EXPECT_GT(seen.size(), 350u);
}

TEST(Reliability, ReceiptsReportArrivalAndLoss)
{
    CLink link({0.0, 0.0, 0.0});
    ASSERT_TRUE(send(link.a, numbered(1, 0, 4000), RELIABLE_WITH_ACK_RECEIPT, 0, 77));
    ASSERT_TRUE(send(link.a, numbered(2, 0), UNRELIABLE_WITH_ACK_RECEIPT, 0, 78));
    link.run(50);
    ASSERT_EQ(link.receiptsA.size(), 2u);
    std::set<uint32_t> acked;
    for (const SReceiptEvent& e : link.receiptsA)
        if (e.acked) acked.insert(e.receipt);
    EXPECT_EQ(acked, (std::set<uint32_t>{77, 78}));

    CLink dead({1.0, 0.0, 0.0});
    ASSERT_TRUE(send(dead.a, numbered(3, 0), UNRELIABLE_WITH_ACK_RECEIPT, 0, 79));
    dead.run(2000);
    ASSERT_EQ(dead.receiptsA.size(), 1u);
    EXPECT_EQ(dead.receiptsA[0].receipt, 79u);
    EXPECT_FALSE(dead.receiptsA[0].acked);
}

TEST(Reliability, TheWindowBoundsWhatIsInFlightWithoutAcknowledgements)
{
    CLink dead({1.0, 0.0, 0.0});
    for (uint32_t n = 0; n < 1000; ++n)
        ASSERT_TRUE(send(dead.a, numbered(n, 0, 1400), RELIABLE_ORDERED));
    dead.step();
    // The initial window is 16 full datagrams.
    EXPECT_EQ(dead.datagramsToB, 16u);
    // Then each time-out sends a little, less and less often.
    dead.run(10000);
    EXPECT_LT(dead.datagramsToB, 16u + 40u);
    EXPECT_TRUE(dead.a.busy());
}

TEST(Reliability, HostileSplitPartsAreBounded)
{
    CReliabilityLayer layer(1492);
    std::vector<Bytes> got;
    uint32_t reliable = 0;
    auto part = [&](uint16_t id, uint32_t count, uint32_t index, size_t size = 100)
    {
        SFrameHeader h;
        h.reliability = RELIABLE;
        h.reliableIndex = reliable++;
        h.split = true;
        h.splitCount = count;
        h.splitId = id;
        h.splitIndex = index;
        Bytes d;
        writeDataHeader(d, reliable, 0);
        const Bytes payload(size, 0xAB);
        writeFrame(d, h, payload.data(), payload.size());
        return d;
    };
    RakTime now = 1;
    // The largest count allowed, but only one part: it waits, then goes.
    layer.setSplitTimeout(1000);
    Bytes first = part(1, 65536, 0);
    EXPECT_TRUE(layer.receive(first.data(), first.size(), now, got));
    std::vector<SReceiptEvent> receipts;
    layer.update(
        now + 2000, [](const uint8_t*, size_t) {}, receipts);
    // The rest of a two-part message after its first part timed out never completes it.
    Bytes a = part(2, 2, 0);
    EXPECT_TRUE(layer.receive(a.data(), a.size(), now, got));
    layer.update(
        now + 4000, [](const uint8_t*, size_t) {}, receipts);
    Bytes b = part(2, 2, 1);
    EXPECT_TRUE(layer.receive(b.data(), b.size(), now + 4000, got));
    EXPECT_TRUE(got.empty());
    // A part that changes its message's count breaks the rules.
    Bytes c = part(2, 3, 2);
    EXPECT_FALSE(layer.receive(c.data(), c.size(), now + 4000, got));
    EXPECT_TRUE(layer.violated());

    // Too many messages half reassembled at once break the rules too.
    CReliabilityLayer other(1492);
    reliable = 0;
    bool refused = false;
    for (uint16_t id = 0; id < 100 && !refused; ++id)
    {
        Bytes d = part(id, 2, 0);
        refused = !other.receive(d.data(), d.size(), now, got);
    }
    EXPECT_TRUE(refused);
    EXPECT_TRUE(other.violated());
}

TEST(Reliability, HostileIndicesAreRefusedOrFiltered)
{
    CReliabilityLayer layer(1492);
    std::vector<Bytes> got;
    auto frame = [](uint32_t datagramNumber, uint8_t reliability, uint32_t index, uint32_t order)
    {
        SFrameHeader h;
        h.reliability = reliability;
        h.reliableIndex = index;
        h.orderingIndex = order;
        Bytes d;
        writeDataHeader(d, datagramNumber, 0);
        const Bytes payload = {0x90, uint8_t(index)};
        writeFrame(d, h, payload.data(), payload.size());
        return d;
    };
    // The same datagram twice and the same message index in another one: once.
    Bytes d1 = frame(0, RELIABLE, 0, 0);
    Bytes d2 = frame(1, RELIABLE, 0, 0);
    EXPECT_TRUE(layer.receive(d1.data(), d1.size(), 1, got));
    EXPECT_TRUE(layer.receive(d1.data(), d1.size(), 1, got));
    EXPECT_TRUE(layer.receive(d2.data(), d2.size(), 1, got));
    EXPECT_EQ(got.size(), 1u);
    // An ordered message far ahead waits; its predecessors release it.
    Bytes o1 = frame(2, RELIABLE_ORDERED, 1, 1);
    Bytes o0 = frame(3, RELIABLE_ORDERED, 2, 0);
    EXPECT_TRUE(layer.receive(o1.data(), o1.size(), 1, got));
    EXPECT_EQ(got.size(), 1u);
    EXPECT_TRUE(layer.receive(o0.data(), o0.size(), 1, got));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1][1], 2);
    EXPECT_EQ(got[2][1], 1);
    // A message index no sender could have reached is a broken rule.
    Bytes far = frame(4, RELIABLE, 0x200000, 0);
    EXPECT_FALSE(layer.receive(far.data(), far.size(), 1, got));
    EXPECT_TRUE(layer.violated());
}
