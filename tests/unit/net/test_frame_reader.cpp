// Framing a byte stream: complete packets only, impossible lengths end the
// stream, compressed batches are expanded once.
#include "NetTestSupport.h"
#include "net/CFrameReader.h"

#include <gtest/gtest.h>

using kelvo::net::CFrameReader;
using nettest::Bytes;
using nettest::packet;

namespace
{

class CCollector : public CFrameReader::IHandler
{
  public:
    bool onPacket(const uint8_t* bytes, uint16_t length) override
    {
        frames.emplace_back(bytes, bytes + length);
        return frames.size() != stopAfter;
    }
    std::vector<Bytes> frames;
    size_t stopAfter = 0;
};

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Feeds the stream in pieces of `step` bytes as a receive loop would, keeping
// what was not consumed; the status of the last call.
CFrameReader::EStatus feed(CFrameReader& reader, const Bytes& stream, size_t step,
                           CCollector& collector)
{
    Bytes pending;
    CFrameReader::EStatus status = CFrameReader::FRAME_MORE;
    for (size_t at = 0; at < stream.size() && status == CFrameReader::FRAME_MORE; at += step)
    {
        pending.insert(pending.end(), stream.begin() + at,
                       stream.begin() + std::min(stream.size(), at + step));
        size_t used = reader.process(pending.data(), pending.size(), collector, status);
        pending.erase(pending.begin(), pending.begin() + used);
    }
    return status;
}

// A batch holding the packets as literals (every flag clear).
Bytes literalBatch(const Bytes& inner)
{
    Bytes body;
    for (size_t i = 0; i < inner.size(); i += 8)
    {
        body.push_back(0);
        body.insert(body.end(), inner.begin() + i, inner.begin() + std::min(inner.size(), i + 8));
    }
    return packet(0x4005, body);
}

} // namespace

TEST(FrameReader, PacketsArriveWholeInAnyPieces)
{
    const Bytes stream = join({packet(1, {1, 2, 3}), packet(2), nettest::numberedPacket(3, 16384),
                               packet(0x4002), packet(4, {9})});
    for (size_t step : {1u, 3u, 4u, 7u, 1000u, 20000u})
    {
        CFrameReader reader;
        CCollector collector;
        EXPECT_EQ(feed(reader, stream, step, collector), CFrameReader::FRAME_MORE);
        ASSERT_EQ(collector.frames.size(), 5u) << step;
        EXPECT_EQ(collector.frames[0], packet(1, {1, 2, 3}));
        EXPECT_EQ(collector.frames[2].size(), 16384u);
        EXPECT_EQ(collector.frames[3], packet(0x4002));
        EXPECT_EQ(collector.frames[4], packet(4, {9}));
    }
}

TEST(FrameReader, LengthsThatCannotFrameEndTheStream)
{
    nettest::CPrintCapture capture;
    for (uint16_t length : {0, 1, 2, 3, 16385, 65535})
    {
        Bytes bad = {7, 0, uint8_t(length), uint8_t(length >> 8), 0, 0, 0, 0};
        CFrameReader reader;
        CCollector collector;
        CFrameReader::EStatus status;
        Bytes stream = join({packet(1), bad, packet(2)});
        size_t used = reader.process(stream.data(), stream.size(), collector, status);
        EXPECT_EQ(status, CFrameReader::FRAME_BAD) << length;
        EXPECT_EQ(used, 4u) << length;
        EXPECT_EQ(collector.frames.size(), 1u) << length;
    }
    EXPECT_EQ(capture.count("Huge packet received!\n"), 2u);
}

TEST(FrameReader, BatchesAreExpandedIntoTheirPackets)
{
    nettest::CPrintCapture capture;
    const Bytes inner = join({packet(10, {1, 2}), packet(0x4002), packet(11, {3, 4, 5, 6, 7, 8})});
    const Bytes batch = literalBatch(inner);
    CFrameReader reader;
    CCollector collector;
    EXPECT_EQ(feed(reader, join({batch, packet(12)}), 5, collector), CFrameReader::FRAME_MORE);
    ASSERT_EQ(collector.frames.size(), 4u);
    EXPECT_EQ(collector.frames[0], packet(10, {1, 2}));
    EXPECT_EQ(collector.frames[1], packet(0x4002));
    EXPECT_EQ(collector.frames[2], packet(11, {3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(collector.frames[3], packet(12));
    EXPECT_EQ(capture.count("Decompressed " + std::to_string(batch.size()) + " to " +
                            std::to_string(inner.size()) + "\n"),
              1u);
}

TEST(FrameReader, ABatchStopsAtWhatCannotFrameAndNeverNests)
{
    nettest::CPrintCapture capture;
    // A complete packet, then a batch inside the batch, then three bytes.
    const Bytes inner = join({packet(20), literalBatch(packet(21)), packet(22), Bytes{1, 2, 3}});
    CFrameReader reader;
    CCollector collector;
    CFrameReader::EStatus status;
    Bytes stream = join({literalBatch(inner), packet(23)});
    EXPECT_EQ(reader.process(stream.data(), stream.size(), collector, status), stream.size());
    EXPECT_EQ(status, CFrameReader::FRAME_MORE);
    ASSERT_EQ(collector.frames.size(), 3u);
    EXPECT_EQ(collector.frames[0], packet(20));
    EXPECT_EQ(collector.frames[1], packet(22));
    EXPECT_EQ(collector.frames[2], packet(23));
    EXPECT_EQ(capture.count("ERROR: Packet size after decompression was zero!\n"), 1u);
}

TEST(FrameReader, TheHandlerCanStopTheReading)
{
    CFrameReader reader;
    CCollector collector;
    collector.stopAfter = 2;
    CFrameReader::EStatus status;
    Bytes stream = join({packet(1), packet(2), packet(3)});
    EXPECT_EQ(reader.process(stream.data(), stream.size(), collector, status), 8u);
    EXPECT_EQ(status, CFrameReader::FRAME_STOPPED);
}
