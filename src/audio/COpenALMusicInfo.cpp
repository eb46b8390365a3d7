#include "audio/COpenALMusicInfo.h"

#include "core/Output.h"
#include "io/IReadFile.h"

#include <AL/al.h>

namespace kelvo::audio
{

using zu::core::zuPrint;

COpenALMusicInfo::COpenALMusicInfo(const zu::core::CString& path) : m_path(path) {}

COpenALMusicInfo::~COpenALMusicInfo()
{
    close();
}

bool COpenALMusicInfo::open(zu::io::IReadFile* file)
{
    if (m_isOpen) return true;
    if (!file)
    {
        zuPrint("Failed to open: %s\n", m_path.c_str());
        return false;
    }
    int error = m_reader.open(file);
    if (error < 0)
    {
        zuPrint("Failed to open: %s, Error code: %d\n", m_path.c_str(), error);
        return false;
    }
    m_format = m_reader.getChannels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;

    alGetError();
    alGenBuffers(kBufferCount, m_buffers);
    if (alGetError() != AL_NO_ERROR)
    {
        for (uint32_t& buffer : m_buffers)
            buffer = 0;
        m_reader.close();
        zuPrint("Failed to open: %s\n", m_path.c_str());
        return false;
    }
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR)
    {
        m_source = 0;
        alDeleteBuffers(kBufferCount, m_buffers);
        for (uint32_t& buffer : m_buffers)
            buffer = 0;
        m_reader.close();
        zuPrint("Failed to open: %s\n", m_path.c_str());
        return false;
    }
    alSource3f(m_source, AL_POSITION, 0.f, 0.f, 0.f);
    alSource3f(m_source, AL_VELOCITY, 0.f, 0.f, 0.f);
    alSource3f(m_source, AL_DIRECTION, 0.f, 0.f, 0.f);
    alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.f);
    alSourcef(m_source, AL_CONE_INNER_ANGLE, 360.f);
    alSourcef(m_source, AL_CONE_OUTER_ANGLE, 360.f);
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
    m_ended = false;
    m_isOpen = true;
    return true;
}

bool COpenALMusicInfo::nextPiece(uint32_t buffer)
{
    if (!ZU_CHECK(m_isOpen) || m_ended) return false;
    char data[kPieceBytes];
    int size = 0;
    bool rewound = false;
    while (size < kPieceBytes)
    {
        long got = m_reader.read(data + size, kPieceBytes - size);
        if (got < 0)
        {
            zuPrint("streamNextPiece error: %d\n", static_cast<int>(got));
            // A damaged stream would fail the same way every frame.
            m_ended = true;
            return false;
        }
        if (got > 0)
        {
            size += static_cast<int>(got);
            continue;
        }
        if (size > 0) break;
        if (!m_loop || rewound || !m_reader.rewind())
        {
            m_ended = true;
            return false;
        }
        rewound = true;
    }
    alBufferData(buffer, m_format, data, size, static_cast<ALsizei>(m_reader.getRate()));
    return true;
}

bool COpenALMusicInfo::start(float gain, bool loop)
{
    m_loop = loop;
    if (!m_isOpen) return false;
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
    {
        // A source that stopped has played everything it had queued.
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
        m_ended = false;
        int filled = 0;
        while (filled < kBufferCount && nextPiece(m_buffers[filled]))
            ++filled;
        if (filled == 0)
        {
            close();
            return false;
        }
        alGetError();
        alSourceQueueBuffers(m_source, filled, m_buffers);
        alSourcePlay(m_source);
        ZU_CHECK(alGetError() == 0);
    }
    m_gain = gain;
    alSourcef(m_source, AL_GAIN, gain);
    alSourcei(m_source, AL_LOOPING, AL_FALSE);
    return true;
}

bool COpenALMusicInfo::refill(float pitch)
{
    if (!m_isOpen) return false;
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    bool missing = false;
    while (processed-- > 0)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_source, 1, &buffer);
        if (!nextPiece(buffer))
        {
            missing = true;
            break;
        }
        alSourceQueueBuffers(m_source, 1, &buffer);
    }
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (missing || m_ended)
    {
        // No more data: once the last queued piece has been heard the
        // stream is done, however many buffers were still queued.
        if (state != AL_PLAYING)
        {
            close();
            return false;
        }
        return true;
    }
    if (state != AL_PLAYING) alSourcePlay(m_source);
    alSourcef(m_source, AL_PITCH, pitch);
    return true;
}

void COpenALMusicInfo::close()
{
    if (!m_isOpen) return;
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    alDeleteSources(1, &m_source);
    alDeleteBuffers(kBufferCount, m_buffers);
    m_source = 0;
    for (uint32_t& buffer : m_buffers)
        buffer = 0;
    m_reader.close();
    m_isOpen = false;
    m_ended = false;
}

bool COpenALMusicInfo::setGain(float gain)
{
    if (!isPlaying()) return false;
    m_gain = gain;
    alSourcef(m_source, AL_GAIN, gain);
    return true;
}

void COpenALMusicInfo::setPitch(float pitch)
{
    if (m_isOpen) alSourcef(m_source, AL_PITCH, pitch);
}

bool COpenALMusicInfo::isPlaying() const
{
    if (!m_isOpen) return false;
    if (!m_ended) return true;
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace kelvo::audio
