// CFrameReader: cuts one connection's byte stream into packets. A packet
// is complete when its whole length has arrived; a length below 4 or above
// 16384 can never frame, so it ends the stream (the connection is closed).
// Compressed batches (0x4005) are expanded here with the connection's own
// decoder, and the packets they hold are handed on one by one; a batch
// inside a batch is not expanded.
#pragma once

#include "algo/CSimplePress.h"

#include <cstddef>
#include <cstdint>

namespace kelvo::net
{

class CFrameReader
{
  public:
    class IHandler
    {
      public:
        virtual ~IHandler() = default;
        // One complete packet of 4 to 16384 bytes (data or control, never a
        // batch). False stops the reading.
        virtual bool onPacket(const uint8_t* packet, uint16_t length) = 0;
    };

    enum EStatus
    {
        FRAME_MORE,    // everything complete was handed on; the rest needs more bytes
        FRAME_STOPPED, // the handler asked to stop
        FRAME_BAD      // an impossible length: nothing after it can be framed
    };

    // Hands on every complete packet at the front of the bytes; returns how
    // many bytes it consumed, the rest to be kept for the next call.
    size_t process(const uint8_t* bytes, size_t size, IHandler& handler, EStatus& status);

  private:
    bool expandBatch(const uint8_t* packet, uint16_t length, IHandler& handler);

    zu::algo::CSimplePress m_press;
};

} // namespace kelvo::net
