// Bit-stream encodings as byte tables, read back, and reads past the end.
#include "net/rudp/CBitStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace kelvo::net::rudp;

namespace
{

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const CBitStream& s)
{
    return Bytes(s.data(), s.data() + s.sizeBytes());
}

struct SEncoding
{
    const char* what;
    std::function<void(CBitStream&)> write;
    Bytes expected;
    // Reads the values back from a stream of the expected bytes.
    std::function<void(CBitStream&)> readBack;
};

const std::vector<SEncoding>& encodings()
{
    static const std::vector<SEncoding> table = {
        {"three booleans take three bits, first bit highest",
         [](CBitStream& s)
         {
             s.writeBit(true);
             s.writeBit(false);
             s.writeBit(true);
         },
         {0xA0},
         [](CBitStream& s)
         {
             bool a, b, c;
             ASSERT_TRUE(s.readBit(a) && s.readBit(b) && s.readBit(c));
             EXPECT_TRUE(a);
             EXPECT_FALSE(b);
             EXPECT_TRUE(c);
         }},
        {"a byte after a boolean straddles two bytes",
         [](CBitStream& s)
         {
             s.writeBit(true);
             s.writeU8(0x81);
         },
         {0xC0, 0x80},
         [](CBitStream& s)
         {
             bool a;
             uint8_t b;
             ASSERT_TRUE(s.readBit(a) && s.readU8(b));
             EXPECT_TRUE(a);
             EXPECT_EQ(b, 0x81);
         }},
        {"integers are big-endian",
         [](CBitStream& s)
         {
             s.writeU16(0x1234);
             s.writeU32(0x89ABCDEF);
             s.writeU16(uint16_t(-2));
         },
         {0x12, 0x34, 0x89, 0xAB, 0xCD, 0xEF, 0xFF, 0xFE},
         [](CBitStream& s)
         {
             uint16_t a, c;
             uint32_t b;
             ASSERT_TRUE(s.readU16(a) && s.readU32(b) && s.readU16(c));
             EXPECT_EQ(a, 0x1234);
             EXPECT_EQ(b, 0x89ABCDEFu);
             EXPECT_EQ(int16_t(c), -2);
         }},
        {"a 64-bit time",
         [](CBitStream& s) { s.writeU64(0x0102030405060708ull); },
         {1, 2, 3, 4, 5, 6, 7, 8},
         [](CBitStream& s)
         {
             uint64_t v;
             ASSERT_TRUE(s.readU64(v));
             EXPECT_EQ(v, 0x0102030405060708ull);
         }},
        {"24-bit numbers are little-endian",
         [](CBitStream& s) { s.writeU24LE(0x123456); },
         {0x56, 0x34, 0x12},
         [](CBitStream& s)
         {
             uint32_t v;
             ASSERT_TRUE(s.readU24LE(v));
             EXPECT_EQ(v, 0x123456u);
         }},
        {"floats are IEEE single, big-endian",
         [](CBitStream& s)
         {
             s.writeFloat(1.0f);
             s.writeFloat(-2.5f);
         },
         {0x3F, 0x80, 0x00, 0x00, 0xC0, 0x20, 0x00, 0x00},
         [](CBitStream& s)
         {
             float a, b;
             ASSERT_TRUE(s.readFloat(a) && s.readFloat(b));
             EXPECT_EQ(a, 1.0f);
             EXPECT_EQ(b, -2.5f);
         }},
        {"16-bit floats span min to max; outside values clamp",
         [](CBitStream& s)
         {
             s.writeFloat16(0.5f, 0, 1);
             s.writeFloat16(-10, -10, 10);
             s.writeFloat16(30, -10, 10);
             s.writeFloat16(-30, -10, 10);
         },
         {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00},
         [](CBitStream& s)
         {
             float a, b, c, d;
             ASSERT_TRUE(s.readFloat16(a, 0, 1) && s.readFloat16(b, -10, 10) &&
                         s.readFloat16(c, -10, 10) && s.readFloat16(d, -10, 10));
             EXPECT_NEAR(a, 0.5f, 1e-4);
             EXPECT_EQ(b, -10.0f);
             EXPECT_EQ(c, 10.0f);
             EXPECT_EQ(d, -10.0f);
         }},
        {"strings are a 16-bit length and the bytes",
         [](CBitStream& s)
         {
             s.writeString("ab");
             s.writeString("");
         },
         {0x00, 0x02, 'a', 'b', 0x00, 0x00},
         [](CBitStream& s)
         {
             std::string a, b = "x";
             ASSERT_TRUE(s.readString(a) && s.readString(b));
             EXPECT_EQ(a, "ab");
             EXPECT_EQ(b, "");
         }},
        {"wide strings are a 16-bit count and 16-bit units",
         [](CBitStream& s) { s.writeWideString(u"\u00e9\u20ac"); },
         {0x00, 0x02, 0x00, 0xE9, 0x20, 0xAC},
         [](CBitStream& s)
         {
             std::u16string a;
             ASSERT_TRUE(s.readWideString(a));
             EXPECT_EQ(a, u"\u00e9\u20ac");
         }},
        {"an IPv4 address is 4, the inverted bytes and the port",
         [](CBitStream& s) { s.writeAddress(SSystemAddress::ipv4(127, 0, 0, 1, 19132)); },
         {0x04, 0x80, 0xFF, 0xFF, 0xFE, 0x4A, 0xBC},
         [](CBitStream& s)
         {
             SSystemAddress a;
             ASSERT_TRUE(s.readAddress(a));
             EXPECT_EQ(a.toString(), "127.0.0.1|19132");
         }},
        {"an IPv6 address is 6 and the socket address's 28 bytes",
         [](CBitStream& s) { s.writeAddress(SSystemAddress::loopback(EF_IPV6, 0x1234)); },
         {0x06, 0x0A, 0x00, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
          0,    0,    0,    0,    0,    0, 0, 0, 0, 1, 0, 0, 0, 0},
         [](CBitStream& s)
         {
             SSystemAddress a;
             ASSERT_TRUE(s.readAddress(a));
             EXPECT_EQ(a.toString(), "::1|4660");
         }},
        {"a GUID is 64 bits",
         [](CBitStream& s) { s.writeGuid(SGuid(0x1122334455667788ull)); },
         {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88},
         [](CBitStream& s)
         {
             SGuid g;
             ASSERT_TRUE(s.readGuid(g));
             EXPECT_EQ(g.toString(), "1234605616436508552");
         }},
    };
    return table;
}

} // namespace

TEST(BitStream, EncodingsAreTheseBytesAndReadBack)
{
    for (const SEncoding& e : encodings())
    {
        SCOPED_TRACE(e.what);
        CBitStream out;
        e.write(out);
        EXPECT_EQ(bytesOf(out), e.expected);
        CBitStream in(e.expected.data(), e.expected.size());
        e.readBack(in);
        EXPECT_LT(in.unreadBits(), 8u);
    }
}

TEST(BitStream, ReadsPastTheEndFailAndKeepThePosition)
{
    const Bytes bytes = {0x00, 0x05, 'a', 'b', 0x04, 0x01};
    CBitStream in(bytes.data(), bytes.size());
    std::string text;
    // The length claims five bytes where four remain.
    EXPECT_FALSE(in.readString(text));
    EXPECT_EQ(in.readPosition(), 0u);
    uint16_t length;
    ASSERT_TRUE(in.readU16(length));
    uint32_t four;
    uint64_t eight;
    SSystemAddress address;
    EXPECT_TRUE(in.skipBytes(2));
    EXPECT_FALSE(in.readU32(four));
    EXPECT_FALSE(in.readAddress(address));
    EXPECT_FALSE(in.readU64(eight));
    EXPECT_EQ(in.readPosition(), 32u);
    uint16_t last;
    EXPECT_TRUE(in.readU16(last));
    bool bit;
    EXPECT_FALSE(in.readBit(bit));
    EXPECT_EQ(in.unreadBits(), 0u);
}

TEST(BitStream, UnknownAddressFamiliesAndShortWideStringsAreRefused)
{
    const Bytes family5 = {0x05, 1, 2, 3, 4, 5, 6};
    CBitStream a(family5.data(), family5.size());
    SSystemAddress address;
    EXPECT_FALSE(a.readAddress(address));
    EXPECT_EQ(a.readPosition(), 0u);
    const Bytes wide = {0x00, 0x03, 0x00, 0x41, 0x00};
    CBitStream w(wide.data(), wide.size());
    std::u16string text;
    EXPECT_FALSE(w.readWideString(text));
    EXPECT_EQ(w.readPosition(), 0u);
}

TEST(BitStream, AddressAndGuidTextForms)
{
    struct SCase
    {
        const char* text;
        bool ok;
        const char* back;
    };
    const SCase cases[] = {
        {"127.0.0.1|19132", true, "127.0.0.1|19132"},
        {"127.1.2.3", true, "127.1.2.3|0"},
        {"::1|80", true, "::1|80"},
        {"127.0.0.1|65536", false, ""},
        {"127.0.0.1|", false, ""},
        {"example.org|80", false, ""},
        {"1.2.3|4", false, ""},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.text);
        SSystemAddress a;
        EXPECT_EQ(SSystemAddress::fromString(c.text, a), c.ok);
        if (c.ok)
            EXPECT_EQ(a.toString(), c.back);
        else
            EXPECT_FALSE(a.isAssigned());
    }
    SGuid g;
    EXPECT_TRUE(SGuid::fromString("18446744073709551614", g));
    EXPECT_EQ(g.value, 18446744073709551614ull);
    EXPECT_FALSE(SGuid::fromString("18446744073709551616", g));
    EXPECT_FALSE(g.isAssigned());
    EXPECT_FALSE(SGuid::fromString("12a", g));
    EXPECT_FALSE(SGuid::fromString("", g));
    EXPECT_NE(SGuid::random(), SGuid::random());
}
