#include "net/CVariablePacketParser.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "net/IPacketValueVisitor.h"
#include "net/NetProtocol.h"

#include <cstring>

namespace zu::net
{

CVariablePacketParser::CVariablePacketParser(const uint8_t* packet, size_t available)
    : m_packet(packet)
{
    if (!packet || available < PACKET_HEADER_SIZE) return;
    m_type = int16_t(core::readLE16(packet));
    m_length = core::readLE16(packet + 2);
    m_end = m_length < available ? m_length : available;
}

int32_t CVariablePacketParser::readInt()
{
    if (m_cursor + 4 > m_end) return 0;
    int32_t value = int32_t(core::readLE32(m_packet + m_cursor));
    m_cursor += 4;
    return value;
}

float CVariablePacketParser::readFloat()
{
    if (m_cursor + 4 > m_end) return 0.f;
    uint32_t bits = core::readLE32(m_packet + m_cursor);
    m_cursor += 4;
    float value;
    memcpy(&value, &bits, 4);
    return value;
}

bool CVariablePacketParser::readBoolean()
{
    if (m_cursor >= m_end) return false;
    return m_packet[m_cursor++] == 1;
}

core::CString CVariablePacketParser::readString()
{
    if (m_cursor >= m_end) return core::CString();
    const char* start = reinterpret_cast<const char*>(m_packet + m_cursor);
    size_t count = strnlen(start, m_end - m_cursor);
    m_cursor += count + 1;
    if (m_cursor > m_end) m_cursor = m_end;
    return core::CString(start, count);
}

core::CString CVariablePacketParser::readWideString()
{
    if (m_cursor >= m_end) return core::CString();
    core::CString text;
    while (m_cursor + 2 <= m_end)
    {
        uint16_t unit = core::readLE16(m_packet + m_cursor);
        m_cursor += 2;
        if (unit == 0) return text;
        text += char(unit & 0xFF);
    }
    m_cursor = m_end;
    return text;
}

void CVariablePacketParser::readValues(IPacketValueVisitor& visitor)
{
    core::CString signature = readString();
    for (size_t i = 0; i < signature.size(); ++i)
    {
        int index = int(i) + 1;
        switch (signature[i])
        {
        case 'b':
            visitor.onBoolean(index, readBoolean());
            break;
        case 'i':
            visitor.onInteger(index, readInt());
            break;
        case 'f':
            visitor.onFloat(index, readFloat());
            break;
        case 's':
            visitor.onString(index, readString());
            break;
        case 'n':
            visitor.onNil(index);
            break;
        default:
            core::zuPrint("Encountered unparseable packet variable: %c\n", signature[i]);
            visitor.onNil(index);
        }
    }
}

} // namespace zu::net
