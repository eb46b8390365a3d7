// COpenALMusicInfo: a music file (or the voice line) streamed through ten
// OpenAL buffers of 4096 bytes on its own source. It opens on its first
// start, is refilled once per frame, loops by rewinding the decoder (never by
// OpenAL looping), and closes on stop, when a non-looping stream has played
// its last piece, or at shutdown; a closed stream can be started again.
#pragma once

#include "audio/CMusicInfoStub.h"
#include "audio/COggVorbisReader.h"
#include "core/CString.h"

#include <cstdint>

namespace zu::io
{
class IReadFile;
}

namespace kelvo::audio
{

class COpenALMusicInfo : public zu::audio::CMusicInfoStub
{
  public:
    static constexpr int kBufferCount = 10;
    static constexpr int kPieceBytes = 4096;

    explicit COpenALMusicInfo(const zu::core::CString& path);
    ~COpenALMusicInfo() override;

    const zu::core::CString& getPath() const { return m_path; }
    bool isOpen() const { return m_isOpen; }
    bool isLooping() const { return m_loop; }
    float getGain() const { return m_gain; }
    uint32_t getSource() const { return m_source; }

    // Opens the decoder over the file (null: the file could not be opened)
    // and makes the source and the buffers. False, with messages, on failure.
    bool open(zu::io::IReadFile* file);
    // Remembers the loop flag; unless the source already plays, fills and
    // queues the buffers and plays. Then sets the gain; OpenAL looping stays
    // off. False when nothing could be queued (the stream is closed again).
    bool start(float gain, bool loop);
    // Refills the buffers the source has finished and restarts a source that
    // ran dry. A non-looping stream whose data is used up is closed once its
    // source has stopped. Returns whether the stream is still open.
    bool refill(float pitch);
    void close();

    // Only for an open, playing stream.
    bool setGain(float gain);
    void setPitch(float pitch);
    // Open and either sounding or still holding data to play.
    bool isPlaying() const;

  private:
    // Decodes the next piece into the buffer; false when there is none.
    bool nextPiece(uint32_t buffer);

    float m_gain = 1.f;
    bool m_isOpen = false;
    zu::core::CString m_path;
    COggVorbisReader m_reader;
    bool m_loop = false;
    // The decoder has no more data for a non-looping stream (or failed).
    bool m_ended = false;
    uint32_t m_source = 0;
    uint32_t m_buffers[kBufferCount] = {};
    int32_t m_format = 0;
};

} // namespace kelvo::audio
