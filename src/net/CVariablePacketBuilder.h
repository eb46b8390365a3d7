// CVariablePacketBuilder: writes one packet: the header (type, length), then
// whatever the caller appends. A variable packet appends a zero-terminated
// signature (one character per value: b boolean, i int32, f float32,
// s zero-terminated string, n nil) and then the values in that order.
#pragma once

#include "core/CString.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zu::net
{

class INetworkDevice;

class CVariablePacketBuilder
{
  public:
    virtual ~CVariablePacketBuilder() = default;

    // Starts a new packet with its four header bytes; the length is filled
    // in by finish.
    void beginPacket(int16_t type);

    // The buffer starts at 16 bytes (or the first append) and doubles, or
    // grows to exactly what is needed when doubling is not enough.
    void appendBytes(const void* bytes, size_t count);
    void appendInt(int32_t value);
    void appendFloat(float value);
    void appendBoolean(bool value);
    // The text up to its first zero byte, then one zero byte: a zero inside a
    // text cannot shift the values written after it.
    void appendString(const core::CString& text);
    // The text's UTF-16 code units up to its first zero, then a zero unit.
    void appendWideString(const core::CString& text);

    // How a script number travels: 'i' when it is a whole number in the int32
    // range (decided on the double, so every such integer arrives exact),
    // otherwise 'f'.
    static char numberSignature(double value);
    // Appends the number as int32 or float32 by that rule.
    void appendNumber(double value);

    // Writes the length into the header. False, with a log line, when no
    // packet was begun or it is longer than a packet may be (16384 bytes):
    // its 16-bit length would frame it wrongly.
    bool finish();
    // finish, then hands the packet to the device (flags 0). The device's
    // result, or -1 when finish refused.
    int32_t sendTo(INetworkDevice* device, int32_t clientId);

    const uint8_t* data() const { return m_buffer.get(); }
    size_t size() const { return m_written; }
    size_t capacity() const { return m_capacity; }

  private:
    std::unique_ptr<uint8_t[]> m_buffer;
    size_t m_written = 0;
    size_t m_capacity = 0;
};

} // namespace zu::net
