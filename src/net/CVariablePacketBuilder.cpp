#include "net/CVariablePacketBuilder.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "core/Utf16.h"
#include "net/INetworkDevice.h"
#include "net/NetProtocol.h"

#include <cmath>
#include <cstring>

namespace zu::net
{

void CVariablePacketBuilder::beginPacket(int16_t type)
{
    m_written = 0;
    uint8_t header[PACKET_HEADER_SIZE];
    core::writeLE16(header, uint16_t(type));
    core::writeLE16(header + 2, 0);
    appendBytes(header, sizeof header);
}

void CVariablePacketBuilder::appendBytes(const void* bytes, size_t count)
{
    if (count == 0) return;
    size_t needed = m_written + count;
    if (needed > m_capacity)
    {
        size_t capacity = m_capacity == 0 ? (count > 16 ? count : 16) : m_capacity * 2;
        if (capacity < needed) capacity = needed;
        std::unique_ptr<uint8_t[]> grown(new uint8_t[capacity]);
        if (m_written) memcpy(grown.get(), m_buffer.get(), m_written);
        m_buffer = std::move(grown);
        m_capacity = capacity;
    }
    memcpy(m_buffer.get() + m_written, bytes, count);
    m_written = needed;
}

void CVariablePacketBuilder::appendInt(int32_t value)
{
    uint8_t bytes[4];
    core::writeLE32(bytes, uint32_t(value));
    appendBytes(bytes, 4);
}

void CVariablePacketBuilder::appendFloat(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, 4);
    uint8_t bytes[4];
    core::writeLE32(bytes, bits);
    appendBytes(bytes, 4);
}

void CVariablePacketBuilder::appendBoolean(bool value)
{
    uint8_t byte = value ? 1 : 0;
    appendBytes(&byte, 1);
}

void CVariablePacketBuilder::appendString(const core::CString& text)
{
    appendBytes(text.data(), strnlen(text.data(), text.size()));
    uint8_t zero = 0;
    appendBytes(&zero, 1);
}

void CVariablePacketBuilder::appendWideString(const core::CString& text)
{
    for (char16_t unit : core::utf8ToUtf16(text))
    {
        if (unit == 0) break;
        uint8_t bytes[2];
        core::writeLE16(bytes, uint16_t(unit));
        appendBytes(bytes, 2);
    }
    uint8_t zero[2] = {0, 0};
    appendBytes(zero, 2);
}

char CVariablePacketBuilder::numberSignature(double value)
{
    // Halves round away from zero; NaN and the infinities are no integers.
    double rounded = std::round(value);
    return rounded == value && rounded >= -2147483648.0 && rounded <= 2147483647.0 ? 'i' : 'f';
}

void CVariablePacketBuilder::appendNumber(double value)
{
    if (numberSignature(value) == 'i')
        appendInt(int32_t(value));
    else
        appendFloat(float(value));
}

bool CVariablePacketBuilder::finish()
{
    if (m_written < PACKET_HEADER_SIZE) return false;
    if (m_written > PACKET_MAX_SIZE)
    {
        core::zuLog(core::ELL_ERROR,
                    "Packet of type %d not sent: %zu bytes, at most %u fit a packet",
                    int16_t(core::readLE16(m_buffer.get())), m_written, PACKET_MAX_SIZE);
        return false;
    }
    core::writeLE16(m_buffer.get() + 2, uint16_t(m_written));
    return true;
}

int32_t CVariablePacketBuilder::sendTo(INetworkDevice* device, int32_t clientId)
{
    if (!device || !finish()) return -1;
    return device->send(clientId, m_buffer.get(), int32_t(m_written), 0);
}

} // namespace zu::net
