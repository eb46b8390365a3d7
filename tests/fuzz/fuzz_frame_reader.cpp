// Fuzz target: a connection's byte stream cut into packets. The first byte
// sets how many bytes each receive brings; the rest is the stream. Every
// packet handed on must be whole and framable, never a batch, and reading
// the stream in pieces must give the same packets as reading it at once.
#include "core/ByteOrder.h"
#include "core/Output.h"
#include "net/CFrameReader.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{

void quiet(const char*) {}
void quietLog(const char*, int) {}

using Frames = std::vector<std::vector<uint8_t>>;

class CChecker : public kelvo::net::CFrameReader::IHandler
{
  public:
    bool onPacket(const uint8_t* packet, uint16_t length) override
    {
        if (length < 4 || length > 16384 || zu::core::readLE16(packet + 2) != length ||
            zu::core::readLE16(packet) == 0x4005)
            __builtin_trap();
        frames.emplace_back(packet, packet + length);
        return true;
    }
    Frames frames;
};

// As the receive loop does: bytes arrive in pieces and what was not consumed
// waits at the front of the buffer.
kelvo::net::CFrameReader::EStatus read(const uint8_t* stream, size_t size, size_t step,
                                       CChecker& checker)
{
    kelvo::net::CFrameReader reader;
    std::vector<uint8_t> pending;
    auto status = kelvo::net::CFrameReader::FRAME_MORE;
    for (size_t at = 0; at < size && status == kelvo::net::CFrameReader::FRAME_MORE; at += step)
    {
        size_t n = size - at < step ? size - at : step;
        pending.insert(pending.end(), stream + at, stream + at + n);
        size_t used = reader.process(pending.data(), pending.size(), checker, status);
        if (used > pending.size()) __builtin_trap();
        pending.erase(pending.begin(), pending.begin() + long(used));
        // A complete packet never waits: what is left is one incomplete packet.
        if (status == kelvo::net::CFrameReader::FRAME_MORE && pending.size() >= 4 &&
            zu::core::readLE16(pending.data() + 2) <= pending.size())
            __builtin_trap();
    }
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced =
        (zu::core::setPrintHook(&quiet), zu::core::setLogSink(&quietLog), true);
    (void)silenced;
    if (size < 1 || size > 1 << 20) return 0;
    size_t step = data[0] ? data[0] : 65536;
    std::vector<uint8_t> stream(data + 1, data + size);

    CChecker pieces, whole;
    auto inPieces = read(stream.data(), stream.size(), step, pieces);
    auto atOnce = read(stream.data(), stream.size(), stream.size() + 1, whole);
    if (inPieces != atOnce || pieces.frames != whole.frames) __builtin_trap();
    return 0;
}
