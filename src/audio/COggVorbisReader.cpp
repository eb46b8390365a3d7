#include "audio/COggVorbisReader.h"

#include "io/IReadFile.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace kelvo::audio
{
namespace
{

// vorbisfile's callbacks over an engine read file.
size_t readCallback(void* buffer, size_t size, size_t count, void* source)
{
    if (size == 0 || count == 0) return 0;
    auto* file = static_cast<zu::io::IReadFile*>(source);
    size_t wanted = count > SIZE_MAX / size ? SIZE_MAX / size * size : size * count;
    if (wanted > 0x7FFFFFFF) wanted = 0x7FFFFFFF / size * size;
    int32_t got = file->read(buffer, static_cast<uint32_t>(wanted));
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int seekCallback(void* source, ogg_int64_t offset, int whence)
{
    auto* file = static_cast<zu::io::IReadFile*>(source);
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = file->getPos();
    else if (whence == SEEK_END)
        base = file->getSize();
    else if (whence != SEEK_SET)
        return -1;
    if (offset > INT32_MAX || offset < INT32_MIN) return -1;
    int64_t target = base + offset;
    if (target < 0 || target > INT32_MAX) return -1;
    return file->seek(static_cast<int32_t>(target)) ? 0 : -1;
}

long tellCallback(void* source)
{
    return static_cast<zu::io::IReadFile*>(source)->getPos();
}

// The decoder never owns the file; the reader releases it after clearing.
int closeCallback(void*)
{
    return 0;
}

} // namespace

COggVorbisReader::COggVorbisReader() : m_vorbis(new OggVorbis_File()) {}

COggVorbisReader::~COggVorbisReader()
{
    close();
    delete m_vorbis;
}

int COggVorbisReader::open(zu::io::IReadFile* file)
{
    close();
    if (!file) return kErrorNoFile;
    file->grab();
    m_file = file;

    ov_callbacks callbacks = {readCallback, seekCallback, closeCallback, tellCallback};
    int error = ov_open_callbacks(file, m_vorbis, nullptr, 0, callbacks);
    if (error != 0)
    {
        // The library clears the decoder itself after a failed open, so
        // there is nothing to clear here. (It does lose a few bytes of its
        // own on some damaged files: see tests/lsan.supp.)
        m_file->drop();
        m_file = nullptr;
        return error;
    }
    m_open = true;

    vorbis_info* info = ov_info(m_vorbis, -1);
    if (!info)
        error = OV_EBADHEADER;
    else if (info->channels < 1 || info->channels > kMaxChannels)
        error = kErrorChannels;
    else if (info->rate < 1 || info->rate > kMaxRate)
        error = kErrorRate;
    else
    {
        m_channels = info->channels;
        m_rate = info->rate;
        long links = ov_streams(m_vorbis);
        for (long link = 1; link < links && error == 0; ++link)
        {
            vorbis_info* other = ov_info(m_vorbis, static_cast<int>(link));
            if (!other || other->channels != m_channels || other->rate != m_rate)
                error = kErrorLinks;
        }
    }
    if (error != 0) close();
    return error;
}

void COggVorbisReader::close()
{
    if (m_open) ov_clear(m_vorbis);
    m_open = false;
    m_channels = 0;
    m_rate = 0;
    if (m_file)
    {
        m_file->drop();
        m_file = nullptr;
    }
}

int64_t COggVorbisReader::getClaimedSamples() const
{
    if (!m_open) return OV_EINVAL;
    return ov_pcm_total(m_vorbis, -1);
}

long COggVorbisReader::read(char* buffer, int bytes)
{
    if (!m_open) return OV_EINVAL;
    int section = 0;
    // Every link has the first link's layout (checked at open), so PCM from
    // any link can be appended as it comes.
    return ov_read(m_vorbis, buffer, bytes, 0, 2, 1, &section);
}

bool COggVorbisReader::rewind()
{
    return m_open && ov_time_seek(m_vorbis, 0.0) == 0;
}

int COggVorbisReader::decodeAll(std::vector<char>& out, uint64_t maxBytes)
{
    out.clear();
    if (!m_open) return OV_EINVAL;
    int64_t samples = getClaimedSamples();
    if (samples < 0) return static_cast<int>(samples);
    const uint64_t frame = static_cast<uint64_t>(m_channels) * 2;
    if (static_cast<uint64_t>(samples) > maxBytes / frame) return kErrorTooLong;
    const uint64_t claimed = static_cast<uint64_t>(samples) * frame;

    // The block grows as data arrives, so a file that lies about its length
    // costs little more than it really decodes to: at most 8 MiB are
    // reserved up front, untouched until used.
    uint64_t used = 0;
    out.reserve(static_cast<size_t>(std::min<uint64_t>(claimed, 8u << 20)));
    char spill[4096];
    while (true)
    {
        if (used == claimed)
        {
            // Anything beyond the claimed length means the file lied.
            long extra = read(spill, sizeof spill);
            if (extra < 0) return static_cast<int>(extra);
            if (extra > 0) return kErrorLengthMismatch;
            break;
        }
        // Zeroed a megabyte at a time, just before it is decoded into; the
        // vector grows its capacity geometrically underneath.
        if (used == out.size())
            out.resize(static_cast<size_t>(std::min<uint64_t>(claimed, used + (1 << 20))));
        int want = static_cast<int>(out.size() - used);
        long got = read(out.data() + used, want);
        if (got < 0) return static_cast<int>(got);
        if (got == 0) break;
        used += static_cast<uint64_t>(got);
    }
    out.resize(static_cast<size_t>(used));
    if (used == 0) return kErrorEmpty;
    return 0;
}

} // namespace kelvo::audio
