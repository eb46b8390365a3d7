// Fuzz target: the bit-stream reader as a script's read methods drive it.
// The first byte is a count n of reads (at most 64), the next n bytes pick
// each read's kind, the rest is the stream. A read that fails must leave the
// position where it was; one that succeeds advances it by its size, never
// past the end; and what was read, written again in the same order, must
// give back exactly the bits it came from.
#include "net/rudp/CBitStream.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace kelvo::net::rudp;

namespace
{

// Compares bits [from, to) of a with bits [0, to - from) of b.
bool sameBits(const CBitStream& a, size_t from, size_t to, const CBitStream& b)
{
    if (b.sizeBits() != to - from) return false;
    for (size_t i = 0; i < to - from; ++i)
    {
        const size_t x = from + i;
        const bool bitA = (a.data()[x >> 3] >> (7 - (x & 7))) & 1;
        const bool bitB = (b.data()[i >> 3] >> (7 - (i & 7))) & 1;
        if (bitA != bitB) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 1 << 16) return 0;
    const size_t reads = data[0] % 65;
    if (size < 1 + reads) return 0;
    const uint8_t* kinds = data + 1;
    CBitStream in(data + 1 + reads, size - 1 - reads);
    CBitStream again;
    // Bits read by the reads that round-trip exactly.
    size_t exactFrom = 0;
    for (size_t i = 0; i < reads; ++i)
    {
        const size_t before = in.readPosition();
        bool ok = false;
        size_t bits = 0;
        bool roundTrips = true;
        switch (kinds[i] % 13)
        {
        case 0:
        {
            bool v = false;
            ok = in.readBit(v);
            bits = 1;
            if (ok) again.writeBit(v);
            break;
        }
        case 1:
        {
            uint8_t v = 0;
            ok = in.readU8(v);
            bits = 8;
            if (ok) again.writeU8(v);
            break;
        }
        case 2:
        {
            uint16_t v = 0;
            ok = in.readU16(v);
            bits = 16;
            if (ok) again.writeU16(v);
            break;
        }
        case 3:
        {
            uint32_t v = 0;
            ok = in.readU32(v);
            bits = 32;
            if (ok) again.writeU32(v);
            break;
        }
        case 4:
        {
            uint64_t v = 0;
            ok = in.readU64(v);
            bits = 64;
            if (ok) again.writeU64(v);
            break;
        }
        case 5:
        {
            uint32_t v = 0;
            ok = in.readU24LE(v);
            bits = 24;
            if (ok) again.writeU24LE(v);
            break;
        }
        case 6:
        {
            float v = 0;
            ok = in.readFloat(v);
            bits = 32;
            if (ok) again.writeFloat(v);
            break;
        }
        case 7:
        {
            float v = 0;
            ok = in.readFloat16(v, -100, 100);
            bits = 16;
            roundTrips = false;
            break;
        }
        case 8:
        {
            std::string v;
            ok = in.readString(v);
            bits = 16 + v.size() * 8;
            if (ok) again.writeString(v);
            break;
        }
        case 9:
        {
            std::u16string v;
            ok = in.readWideString(v);
            bits = 16 + v.size() * 16;
            if (ok) again.writeWideString(v);
            break;
        }
        case 10:
        {
            SSystemAddress v;
            ok = in.readAddress(v);
            bits = v.family == EF_IPV6 ? 29 * 8 : 7 * 8;
            // The IPv6 form carries fields that are not kept.
            roundTrips = v.family == EF_IPV4;
            if (ok && roundTrips) again.writeAddress(v);
            break;
        }
        case 11:
        {
            SGuid v;
            ok = in.readGuid(v);
            bits = 64;
            if (ok) again.writeGuid(v);
            break;
        }
        default:
            in.alignRead();
            roundTrips = false;
            ok = true;
            bits = in.readPosition() - before;
            break;
        }
        const size_t after = in.readPosition();
        if (after > in.sizeBits()) __builtin_trap();
        if (!ok && after != before) __builtin_trap();
        if (ok && after - before != bits) __builtin_trap();
        if (ok && !roundTrips)
        {
            // The exact stretch ends here; check it and start a new one.
            if (!sameBits(in, exactFrom, before, again)) __builtin_trap();
            again.clear();
            exactFrom = after;
        }
    }
    if (!sameBits(in, exactFrom, in.readPosition(), again)) __builtin_trap();
    return 0;
}
