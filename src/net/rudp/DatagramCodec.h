// DatagramCodec: the layout of connected datagrams.
//
// The first byte has its top bit set. With 0x40 the datagram is an ACK (and
// with 0x20 as well, a 4-byte rate estimate follows, which is skipped); with
// 0x20 alone a NAK; each then holds a range list (CRangeList). Otherwise it
// is a data datagram: the flags byte, a 24-bit little-endian sequence number
// and one or more frames:
//   flags       reliability in the top 3 bits, 0x10 when the frame is a split part
//   length      16 bits, the payload's length in bits (always whole bytes here)
//   [24-bit message index]              reliable frames
//   [24-bit sequencing index]           sequenced frames
//   [24-bit ordering index, channel]    ordered and sequenced frames
//   [32-bit part count, 16-bit split id, 32-bit part index]   split parts
//   payload
// The 24-bit numbers are little-endian, the rest big-endian.
//
// parseDatagram checks every length and count against the datagram before it
// uses it; a datagram that breaks a rule is refused as a whole.
#pragma once

#include "net/rudp/CRangeList.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvo::net::rudp
{

// The most parts one message may be split into.
constexpr uint32_t MAX_SPLIT_COUNT = 1u << 16;

constexpr uint8_t DATAGRAM_VALID = 0x80;
constexpr uint8_t DATAGRAM_ACK = 0x40;
constexpr uint8_t DATAGRAM_NAK = 0x20;
constexpr uint8_t DATAGRAM_HAS_B_AND_AS = 0x20;
constexpr uint8_t DATAGRAM_NEEDS_B_AND_AS = 0x04;
constexpr size_t DATAGRAM_HEADER_SIZE = 4;

struct SFrameHeader
{
    uint8_t reliability = 0;
    uint32_t reliableIndex = 0;
    uint32_t sequencingIndex = 0;
    uint32_t orderingIndex = 0;
    uint8_t orderingChannel = 0;
    bool split = false;
    uint32_t splitCount = 0;
    uint16_t splitId = 0;
    uint32_t splitIndex = 0;
};

struct SFrameView
{
    SFrameHeader header;
    const uint8_t* payload = nullptr;
    size_t size = 0;
};

enum EDatagramKind
{
    DK_DATA,
    DK_ACK,
    DK_NAK
};

struct SDatagramView
{
    EDatagramKind kind = DK_DATA;
    uint8_t flags = 0;
    uint32_t sequence = 0;
    std::vector<SFrameView> frames;
    std::vector<SRange> ranges;
};

// False for anything that is not a well-formed connected datagram. The
// frames point into data.
bool parseDatagram(const uint8_t* data, size_t size, SDatagramView& out);

// The bytes the frame's header takes.
size_t frameHeaderSize(const SFrameHeader& header);
void writeFrame(std::vector<uint8_t>& out, const SFrameHeader& header, const uint8_t* payload,
                size_t size);
void writeDataHeader(std::vector<uint8_t>& out, uint32_t sequence, uint8_t flags);

} // namespace kelvo::net::rudp
