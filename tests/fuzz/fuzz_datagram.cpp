// Fuzz target: connected datagrams from a remote peer, as the reliability
// layer receives them. The input is a series of datagrams, each a 16-bit
// big-endian length and its bytes (a length past the end takes the rest);
// the layer's clock moves 7 ms per datagram and it sends what is due after
// each. Every frame the parser accepts must lie inside its datagram, and
// whatever arrives, the layer's memory stays within its limits.
#include "net/rudp/CReliabilityLayer.h"
#include "net/rudp/DatagramCodec.h"

#include <cstdint>
#include <vector>

using namespace kelvo::net::rudp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20) return 0;
    CReliabilityLayer layer(1492);
    std::vector<CReliabilityLayer::Message> delivered;
    std::vector<SReceiptEvent> receipts;
    size_t sent = 0;
    // Something to send, so acknowledgements and NAKs find datagrams in flight.
    const std::vector<uint8_t> message(3000, 0x42);
    layer.send(message.data(), message.size(), HIGH_PRIORITY, RELIABLE_ORDERED, 0, 1);
    layer.send(message.data(), 10, LOW_PRIORITY, UNRELIABLE_WITH_ACK_RECEIPT, 3, 2);
    RakTime now = 1000;
    size_t at = 0;
    while (at + 2 <= size)
    {
        size_t length = size_t(data[at]) << 8 | data[at + 1];
        at += 2;
        if (length > size - at) length = size - at;
        const uint8_t* datagram = data + at;
        at += length;

        SDatagramView view;
        if (parseDatagram(datagram, length, view))
            for (const SFrameView& f : view.frames)
            {
                if (f.size == 0 || f.payload < datagram || f.payload + f.size > datagram + length)
                    __builtin_trap();
                if (f.header.split && (f.header.splitIndex >= f.header.splitCount ||
                                       f.header.splitCount > MAX_SPLIT_COUNT))
                    __builtin_trap();
            }
        layer.receive(datagram, length, now, delivered);
        now += 7;
        layer.update(
            now, [&](const uint8_t*, size_t n) { sent += n; }, receipts);
    }
    size_t total = 0;
    for (const auto& m : delivered)
        total += m.size();
    // Nothing delivered can be larger than what came in.
    if (total > size) __builtin_trap();
    return 0;
}
