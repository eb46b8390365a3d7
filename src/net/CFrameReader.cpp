#include "net/CFrameReader.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "net/NetProtocol.h"

namespace kelvo::net
{

using namespace zu::net;

size_t CFrameReader::process(const uint8_t* bytes, size_t size, IHandler& handler, EStatus& status)
{
    size_t offset = 0;
    status = FRAME_MORE;
    while (size - offset >= PACKET_HEADER_SIZE)
    {
        const uint8_t* packet = bytes + offset;
        uint16_t length = zu::core::readLE16(packet + 2);
        if (length > PACKET_MAX_SIZE)
        {
            zu::core::zuPrint("Huge packet received!\n");
            status = FRAME_BAD;
            return offset;
        }
        if (length < PACKET_HEADER_SIZE)
        {
            zu::core::zuLog(zu::core::ELL_ERROR, "Packet with a length of %u received", length);
            status = FRAME_BAD;
            return offset;
        }
        if (size - offset < length) break;
        offset += length;
        bool goOn = zu::core::readLE16(packet) == CP_COMPRESSED
                        ? expandBatch(packet, length, handler)
                        : handler.onPacket(packet, length);
        if (!goOn)
        {
            status = FRAME_STOPPED;
            return offset;
        }
    }
    return offset;
}

bool CFrameReader::expandBatch(const uint8_t* packet, uint16_t length, IHandler& handler)
{
    bool cut = false;
    size_t size = m_press.decode(packet + PACKET_HEADER_SIZE, length - PACKET_HEADER_SIZE, &cut);
    zu::core::zuPrint("Decompressed %d to %d\n", int(length), int(size));
    if (cut)
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "A compressed batch expands past %zu bytes; the rest is dropped",
                        zu::algo::CSimplePress::OUTPUT_SIZE);
    const uint8_t* output = m_press.output();
    size_t offset = 0;
    while (offset < size)
    {
        const uint8_t* inner = output + offset;
        uint16_t innerLength =
            size - offset >= PACKET_HEADER_SIZE ? zu::core::readLE16(inner + 2) : 0;
        if (innerLength < PACKET_HEADER_SIZE || innerLength > PACKET_MAX_SIZE ||
            innerLength > size - offset)
        {
            zu::core::zuPrint("ERROR: Packet size after decompression was zero!\n");
            return true;
        }
        offset += innerLength;
        if (zu::core::readLE16(inner) == CP_COMPRESSED)
        {
            zu::core::zuLog(zu::core::ELL_WARNING, "A compressed batch inside a batch is ignored");
            continue;
        }
        if (!handler.onPacket(inner, innerLength)) return false;
    }
    return true;
}

} // namespace kelvo::net
