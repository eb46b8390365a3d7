// CVariablePacketParser: reads one packet. Every read is bounded by the
// packet's own length field and by the bytes the caller holds, whichever is
// smaller; a value missing at the end reads as false, 0, 0.0 or the empty
// text, and a string without its terminator ends at the packet's end.
#pragma once

#include "core/CString.h"

#include <cstddef>
#include <cstdint>

namespace zu::net
{

class IPacketValueVisitor;

class CVariablePacketParser
{
  public:
    // The packet is not copied: it must outlive the parser.
    CVariablePacketParser(const uint8_t* packet, size_t available);
    virtual ~CVariablePacketParser() = default;

    int16_t getType() const { return m_type; }
    uint16_t getLength() const { return m_length; }
    size_t getCursor() const { return m_cursor; }

    int32_t readInt();
    float readFloat();
    bool readBoolean();
    core::CString readString();
    // 16-bit units up to a zero unit, keeping the low byte of each.
    core::CString readWideString();

    // Reads the signature and then one value per character; an unknown
    // character prints a line, gives nil and reads nothing.
    void readValues(IPacketValueVisitor& visitor);

  private:
    const uint8_t* m_packet;
    size_t m_cursor = 4;
    int16_t m_type = 0;
    uint16_t m_length = 0;
    size_t m_end = 0;
};

} // namespace zu::net
