// COggVorbisReader: an Ogg Vorbis file decoded with vorbisfile to signed
// 16-bit little-endian PCM, read through an engine read file (so sounds may
// sit inside archives).
//
// Only files the driver can play correctly open: one or two channels, a sane
// sample rate, and every chained link with the same layout as the first (a
// later link with other channels would turn the PCM into noise). Whole-file
// decoding trusts the length the file claims only as an upper bound: it never
// writes past it and refuses a file that decodes to more, or to nothing.
#pragma once

#include <cstdint>
#include <vector>

struct OggVorbis_File;

namespace zu::io
{
class IReadFile;
}

namespace kelvo::audio
{

class COggVorbisReader
{
  public:
    // Results of open beyond vorbisfile's own negative codes.
    static constexpr int kErrorNoFile = -1000;
    static constexpr int kErrorChannels = -1001;
    static constexpr int kErrorRate = -1002;
    static constexpr int kErrorLinks = -1003;
    // Results of decodeAll.
    static constexpr int kErrorTooLong = -1010;
    static constexpr int kErrorEmpty = -1011;
    static constexpr int kErrorLengthMismatch = -1012;

    static constexpr int kMaxChannels = 2;
    static constexpr long kMaxRate = 384000;

    COggVorbisReader();
    ~COggVorbisReader();
    COggVorbisReader(const COggVorbisReader&) = delete;
    COggVorbisReader& operator=(const COggVorbisReader&) = delete;

    // Opens the stream over the file (the reader takes its own reference).
    // Returns 0, or a negative code; then nothing stays open.
    int open(zu::io::IReadFile* file);
    // Clears the decoder and releases the file.
    void close();
    bool isOpen() const { return m_open; }

    int getChannels() const { return m_channels; }
    long getRate() const { return m_rate; }
    // Samples per channel the file claims to hold, or a negative code.
    int64_t getClaimedSamples() const;

    // Decodes up to `bytes` bytes (whole sample frames) at the current
    // position. Returns the bytes written, 0 at the end of the data, or a
    // negative vorbisfile code (a hole, a bad link).
    long read(char* buffer, int bytes);
    // Back to the first sample; false when the stream cannot seek.
    bool rewind();

    // Decodes the whole stream into `out`, at most `maxBytes`. Returns 0, a
    // negative vorbisfile code, or one of the decodeAll results above.
    int decodeAll(std::vector<char>& out, uint64_t maxBytes);

  private:
    OggVorbis_File* m_vorbis;
    zu::io::IReadFile* m_file = nullptr;
    bool m_open = false;
    int m_channels = 0;
    long m_rate = 0;
};

} // namespace kelvo::audio
