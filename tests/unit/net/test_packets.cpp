// The packet builder's growth and limits, wide strings, the parser's bounds
// and the scrambler.
#include "core/ByteOrder.h"
#include "net/CVariablePacketBuilder.h"
#include "net/CVariablePacketParser.h"
#include "net/PacketScrambler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using zu::net::CVariablePacketBuilder;
using zu::net::CVariablePacketParser;

TEST(PacketBuilder, BufferStartsAt16AndDoublesOrGrowsToWhatIsNeeded)
{
    struct SStep
    {
        size_t append;
        size_t capacity;
    };
    const std::vector<std::vector<SStep>> series = {
        {{4, 16}, {12, 16}, {1, 32}, {15, 32}, {1, 64}},
        {{20, 20}, {1, 40}, {100, 121}},
    };
    for (const auto& steps : series)
    {
        CVariablePacketBuilder builder;
        std::vector<uint8_t> expected;
        for (const SStep& step : steps)
        {
            std::vector<uint8_t> bytes(step.append);
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = uint8_t(expected.size() + i);
            builder.appendBytes(bytes.data(), bytes.size());
            expected.insert(expected.end(), bytes.begin(), bytes.end());
            EXPECT_EQ(builder.capacity(), step.capacity);
        }
        ASSERT_EQ(builder.size(), expected.size());
        EXPECT_EQ(std::vector<uint8_t>(builder.data(), builder.data() + builder.size()), expected);
    }
}

TEST(PacketBuilder, NumbersTravelAsIntegersWhenWholeAndInRange)
{
    const struct
    {
        double value;
        char signature;
    } cases[] = {{2.0, 'i'},          {-3.0, 'i'},          {0.5, 'f'},
                 {-2.5, 'f'},         {1e10, 'f'},          {2147483647.0, 'i'},
                 {2147483648.0, 'f'}, {-2147483648.0, 'i'}, {-2147483649.0, 'f'},
                 {16777217.0, 'i'},   {1700000000.0, 'i'},  {2.0000001, 'f'},
                 {-0.0, 'i'},         {1.0 / 0.0, 'f'},     {0.0 / 0.0, 'f'}};
    for (const auto& c : cases)
        EXPECT_EQ(CVariablePacketBuilder::numberSignature(c.value), c.signature) << c.value;
}

TEST(PacketBuilder, WideStringsAreUtf16AndReadBackByTheirLowBytes)
{
    CVariablePacketBuilder builder;
    builder.beginPacket(0x4001);
    builder.appendWideString("Zo\xc3\xab\xe2\x82\xac"); // Zoë€
    builder.appendString("game");
    ASSERT_TRUE(builder.finish());
    const std::vector<uint8_t> expected = {0x01, 0x40, 19, 0, 'Z', 0,   'o', 0,   0xeb, 0,
                                           0xac, 0x20, 0,  0, 'g', 'a', 'm', 'e', 0};
    EXPECT_EQ(std::vector<uint8_t>(builder.data(), builder.data() + builder.size()), expected);

    CVariablePacketParser parser(builder.data(), builder.size());
    EXPECT_EQ(parser.getType(), 0x4001);
    EXPECT_EQ(parser.readWideString(), zu::core::CString("Zo\xeb\xac"));
    EXPECT_EQ(parser.readString(), zu::core::CString("game"));
    EXPECT_EQ(parser.getCursor(), builder.size());
}

TEST(PacketParser, ReadsStopAtTheLengthField)
{
    // Type 9, length 10: an int and two more bytes; what follows is not the packet's.
    const uint8_t bytes[] = {9, 0, 10, 0, 1, 0, 0, 0, 'a', 'b', 'c', 0, 5, 0, 0, 0};
    CVariablePacketParser parser(bytes, sizeof bytes);
    EXPECT_EQ(parser.readInt(), 1);
    EXPECT_EQ(parser.readInt(), 0);
    EXPECT_EQ(parser.getCursor(), 8u);
    EXPECT_EQ(parser.readString(), zu::core::CString("ab"));
    EXPECT_EQ(parser.getCursor(), 10u);
    EXPECT_FALSE(parser.readBoolean());
    EXPECT_EQ(parser.readFloat(), 0.f);
    EXPECT_EQ(parser.readString(), zu::core::CString());
    EXPECT_EQ(parser.readWideString(), zu::core::CString());

    // Fewer bytes than a header: nothing at all.
    CVariablePacketParser cut(bytes, 3);
    EXPECT_EQ(cut.getType(), 0);
    EXPECT_EQ(cut.readInt(), 0);

    // A wide string without its zero unit ends at the packet's end.
    const uint8_t wide[] = {1, 0, 9, 0, 'A', 0, 'B', 0, 'C'};
    CVariablePacketParser open(wide, sizeof wide);
    EXPECT_EQ(open.readWideString(), zu::core::CString("AB"));
    EXPECT_EQ(open.getCursor(), 9u);
}

TEST(PacketBuilder, PacketsLongerThan16384BytesAreRefused)
{
    CVariablePacketBuilder builder;
    EXPECT_FALSE(builder.finish()) << "no packet begun";
    builder.beginPacket(5);
    std::vector<uint8_t> body(16380, 0x11);
    builder.appendBytes(body.data(), body.size());
    EXPECT_TRUE(builder.finish());
    EXPECT_EQ(zu::core::readLE16(builder.data() + 2), 16384);
    builder.appendBoolean(true);
    EXPECT_FALSE(builder.finish());
    // A new packet starts over.
    builder.beginPacket(6);
    EXPECT_TRUE(builder.finish());
    EXPECT_EQ(builder.size(), 4u);
}

TEST(PacketScrambler, FiveZeroBytesGiveTheKeyThenItsTurnedTopByte)
{
    const uint32_t key = 0x89ABCDEFu;
    uint8_t packet[9] = {0x34, 0x12, 9, 0, 0, 0, 0, 0, 0};
    zu::net::scramblePacket(packet, sizeof packet, key);
    const uint32_t turned = (key >> 1) | (key << 31);
    const uint8_t expected[9] = {0x34, 0x12, 9, 0, 0x89, 0xAB, 0xCD, 0xEF, uint8_t(turned >> 24)};
    EXPECT_EQ(std::vector<uint8_t>(packet, packet + 9),
              std::vector<uint8_t>(expected, expected + 9));
    zu::net::scramblePacket(packet, sizeof packet, key);
    EXPECT_EQ(std::vector<uint8_t>(packet + 4, packet + 9), std::vector<uint8_t>(5, 0));
}

TEST(PacketScrambler, ScramblingTwiceRestoresAnyPacket)
{
    std::mt19937 random(7);
    for (size_t length : {4u, 5u, 8u, 33u, 1000u, 16384u})
    {
        std::vector<uint8_t> packet(length);
        for (uint8_t& b : packet)
            b = uint8_t(random());
        std::vector<uint8_t> copy = packet;
        uint32_t key = zu::net::deriveClientKey(int32_t(length));
        zu::net::scramblePacket(packet.data(), packet.size(), key);
        EXPECT_TRUE(std::equal(packet.begin(), packet.begin() + 4, copy.begin()));
        if (length > 8)
        {
            EXPECT_NE(packet, copy);
        }
        zu::net::scramblePacket(packet.data(), packet.size(), key);
        EXPECT_EQ(packet, copy);
    }
}

TEST(PacketScrambler, EveryClientGetsItsOwnKey)
{
    std::vector<uint32_t> keys;
    for (int32_t id = 1; id <= 200; ++id)
    {
        uint32_t key = zu::net::deriveClientKey(id);
        EXPECT_NE(key, 0u);
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::unique(keys.begin(), keys.end()), keys.end());
}
