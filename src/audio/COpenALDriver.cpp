#include "audio/COpenALDriver.h"

#include "audio/COggVorbisReader.h"
#include "audio/COpenALMusicInfo.h"
#include "audio/COpenALSoundInfo.h"
#include "audio/COpenALTrackedSoundInfo.h"
#include "core/Output.h"
#include "io/CReadFile.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>

namespace kelvo::audio
{

using zu::audio::CMusicInfoStub;
using zu::audio::CSoundInfoStub;
using zu::audio::CTrackedSoundInfoStub;
using zu::audio::SVector3f;
using zu::core::CString;
using zu::core::zuPrint;
using zu::core::zuPrintLn;

COpenALDriver::COpenALDriver(zu::io::IFileSystem* fileSystem, zu::ITimer* timer,
                             const char* deviceName)
    : CAudioDriver(timer), m_fileSystem(fileSystem)
{
    if (m_fileSystem) m_fileSystem->grab();

    m_device = alcOpenDevice(deviceName);
    if (!m_device)
    {
        zuPrintLn("Error: OpenAL Failed to get a device");
        return;
    }
    m_context = alcCreateContext(m_device, nullptr);
    if (!m_context)
    {
        zuPrintLn("Error: OpenAL failed to create a context");
        alcCloseDevice(m_device);
        m_device = nullptr;
        return;
    }
    alcMakeContextCurrent(m_context);

    for (int i = 0; i < kInitialSources; ++i)
    {
        alGetError();
        ALuint id = 0;
        alGenSources(1, &id);
        if (alGetError() != AL_NO_ERROR) break;
        if (!ZU_CHECK(id != 0)) break;
        SOpenALSource source;
        source.id = id;
        m_freeSources.push_back(source);
    }
    int made = static_cast<int>(m_freeSources.size());
    if (made < kInitialSources)
        zuPrintLn("OpenAL Warning: the system is under the recommended %d sources limit, only %d "
                  "supported",
                  kInitialSources, made);

    zuPrintLn("OpenAL has been initialized.");
    resetListenerOrientation();

    if (!m_freeSources.empty())
    {
        ALint maxDistance = 0;
        ALint referenceDistance = 0;
        alGetSourcei(m_freeSources.back().id, AL_MAX_DISTANCE, &maxDistance);
        alGetSourcei(m_freeSources.back().id, AL_REFERENCE_DISTANCE, &referenceDistance);
        zuPrintLn("Max distance: %u, Reference distance: %u", static_cast<unsigned>(maxDistance),
                  static_cast<unsigned>(referenceDistance));
    }
}

COpenALDriver::~COpenALDriver()
{
    releaseAll();
    if (m_context)
    {
        // Sources first: a buffer still attached to one cannot be deleted.
        for (std::list<SOpenALSource>::iterator it = m_busySources.begin();
             it != m_busySources.end(); ++it)
            m_freeSources.push_back(*it);
        m_busySources.clear();
        for (SOpenALSource& source : m_freeSources)
        {
            alSourceStop(source.id);
            alSourcei(source.id, AL_BUFFER, 0);
            alDeleteSources(1, &source.id);
        }
        m_freeSources.clear();
        if (!m_buffers.empty())
            alDeleteBuffers(static_cast<ALsizei>(m_buffers.size()), m_buffers.data());
        m_buffers.clear();
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
        m_context = nullptr;
    }
    if (m_device) alcCloseDevice(m_device);
    m_device = nullptr;
    if (m_fileSystem) m_fileSystem->drop();
}

zu::io::IReadFile* COpenALDriver::openFile(const CString& path)
{
    if (m_fileSystem) return m_fileSystem->createAndOpenFile(path);
    return io::CReadFile::create(path);
}

void COpenALDriver::update()
{
    float pitch = musicHasGlobalPitch() ? m_globalPitch : 1.f;
    for (const auto& entry : musicStreams())
        static_cast<COpenALMusicInfo*>(entry.second.stream)->refill(pitch);
    if (voice()) static_cast<COpenALMusicInfo*>(voice())->refill(pitch);
}

void COpenALDriver::setGlobalPitch(float pitch)
{
    m_globalPitch = pitch;
    if (!m_context) return;
    for (const SOpenALSource& source : m_busySources)
        alSourcef(source.id, AL_PITCH, source.pitch * pitch);
    for (const auto& entry : trackedSounds())
    {
        auto* tracked = static_cast<COpenALTrackedSoundInfo*>(entry.second);
        alSourcef(tracked->getSource(), AL_PITCH, tracked->getPitch() * pitch);
    }
    if (musicHasGlobalPitch())
        for (const auto& entry : musicStreams())
            static_cast<COpenALMusicInfo*>(entry.second.stream)->setPitch(pitch);
}

bool COpenALDriver::setDistanceModel(int32_t model)
{
    if (model < 1 || model > 6) return false;
    if (m_context) alDistanceModel(static_cast<ALenum>(AL_INVERSE_DISTANCE + model - 1));
    return true;
}

float COpenALDriver::getSoundDataDuration(const CSoundInfoStub* sound) const
{
    return static_cast<const COpenALSoundInfo*>(sound)->getDuration();
}

CSoundInfoStub* COpenALDriver::createSoundData(const CString& name)
{
    CString path = soundPath(name);
    // Effects come as Ogg Vorbis only.
    if (!path.endsWith(".ogg"))
    {
        zuPrintLn("Failed to load sound %s", path.c_str());
        return nullptr;
    }

    auto fail = [&](bool tooManyChannels) -> CSoundInfoStub*
    {
        if (tooManyChannels)
            zuPrintLn("Sound %s has more than 2 channels; only mono and stereo sounds are played",
                      path.c_str());
        zuPrintLn("Failed to load sound %s, error: %d", path.c_str(),
                  m_context ? static_cast<int>(alGetError()) : 0);
        zuPrintLn("Failed to load sound %s", path.c_str());
        return nullptr;
    };

    zu::io::IReadFile* file = openFile(path);
    if (!file) return fail(false);
    COggVorbisReader reader;
    int error = reader.open(file);
    file->drop();
    if (error != 0) return fail(error == COggVorbisReader::kErrorChannels);
    std::vector<char> pcm;
    if (reader.decodeAll(pcm, kMaxSoundBytes) != 0) return fail(false);
    const int channels = reader.getChannels();
    const long rate = reader.getRate();
    reader.close();
    const size_t samples = pcm.size() / (static_cast<size_t>(channels) * 2);
    const float duration = static_cast<float>(static_cast<double>(samples) / rate);

    ALuint buffer = 0;
    if (m_context)
    {
        alGetError();
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) return fail(false);
        alBufferData(buffer, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(),
                     static_cast<ALsizei>(pcm.size()), static_cast<ALsizei>(rate));
        ALenum alerror = alGetError();
        if (alerror != AL_NO_ERROR)
        {
            alDeleteBuffers(1, &buffer);
            zuPrintLn("Failed to load sound %s, error: %d", path.c_str(), alerror);
            zuPrintLn("Failed to load sound %s", path.c_str());
            return nullptr;
        }
        m_buffers.push_back(buffer);
    }
    return new COpenALSoundInfo(duration, buffer);
}

SOpenALSource* COpenALDriver::acquireSource()
{
    if (!m_context) return nullptr;
    if (m_freeSources.empty())
    {
        // A source that never started (its start was refused) is as free as
        // one that has finished.
        for (auto it = m_busySources.begin(); it != m_busySources.end();)
        {
            ALint state = AL_PLAYING;
            alGetSourcei(it->id, AL_SOURCE_STATE, &state);
            if (state == AL_STOPPED || state == AL_INITIAL)
            {
                m_freeSources.push_back(*it);
                it = m_busySources.erase(it);
            }
            else
                ++it;
        }
    }
    if (m_freeSources.empty() && m_busySources.size() < static_cast<size_t>(kMaxBusySources))
    {
        alGetError();
        ALuint id = 0;
        alGenSources(1, &id);
        if (alGetError() == AL_NO_ERROR && id != 0)
        {
            SOpenALSource source;
            source.id = id;
            m_freeSources.push_back(source);
        }
    }
    if (m_freeSources.empty()) return nullptr;
    m_busySources.push_back(m_freeSources.back());
    m_freeSources.pop_back();
    return &m_busySources.back();
}

size_t COpenALDriver::countPlayingSources(bool looping) const
{
    size_t count = 0;
    if (!m_context) return 0;
    for (const SOpenALSource& source : m_busySources)
    {
        ALint state = AL_STOPPED;
        ALint loops = AL_FALSE;
        alGetSourcei(source.id, AL_SOURCE_STATE, &state);
        alGetSourcei(source.id, AL_LOOPING, &loops);
        if (state == AL_PLAYING && (loops != AL_FALSE) == looping) ++count;
    }
    return count;
}

uint32_t COpenALDriver::getLoopSourceOf(const CString& name) const
{
    const CSoundInfoStub* sound = findSoundData(name);
    return sound ? static_cast<const COpenALSoundInfo*>(sound)->getLoopSource() : 0;
}

bool COpenALDriver::isMusicOpen(const CString& name) const
{
    auto it = musicStreams().find(name);
    return it != musicStreams().end() &&
           static_cast<const COpenALMusicInfo*>(it->second.stream)->isOpen();
}

SOpenALSource* COpenALDriver::findBusySource(uint32_t id)
{
    for (SOpenALSource& source : m_busySources)
        if (source.id == id) return &source;
    return nullptr;
}

SVector3f COpenALDriver::panPosition(float pan)
{
    return SVector3f{2.f * pan, 0.f, 0.1f};
}

float COpenALDriver::wrapOffset(float offset, float duration)
{
    if (!(offset > 0.f) || !std::isfinite(offset) || !(duration > 0.f)) return 0.f;
    // The remainder, not repeated subtraction: an offset of 1e30 seconds
    // would otherwise never finish (and lose all precision on the way).
    float wrapped = std::fmod(offset, duration);
    return wrapped < duration ? wrapped : 0.f;
}

bool COpenALDriver::configureSource(uint32_t source, float pitch, float gain, bool loop,
                                    bool positioned, const SVector3f& position,
                                    const SVector3f& velocity)
{
    pitch = m_globalPitch * pitch;
    if (!ZU_CHECK(pitch >= 0)) return false;
    float volume = gain;
    if (!ZU_CHECK(volume >= 0)) return false;
    alSourcef(source, AL_PITCH, pitch);
    alSourcef(source, AL_GAIN, volume);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    if (positioned)
    {
        const SVector3f& direction = coneDirection();
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSourcef(source, AL_ROLLOFF_FACTOR, rolloffFactor());
        alSource3f(source, AL_DIRECTION, direction.x, direction.y, direction.z);
        alSource3f(source, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
        alSourcef(source, AL_CONE_INNER_ANGLE, static_cast<float>(coneInnerAngle()));
        alSourcef(source, AL_CONE_OUTER_ANGLE, static_cast<float>(coneOuterAngle()));
    }
    else
    {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1.f);
        alSource3f(source, AL_DIRECTION, 0.f, 0.f, 0.f);
        alSource3f(source, AL_VELOCITY, 0.f, 0.f, 0.f);
        alSourcef(source, AL_CONE_INNER_ANGLE, 360.f);
        alSourcef(source, AL_CONE_OUTER_ANGLE, 360.f);
    }
    return true;
}

uint32_t COpenALDriver::startSound(COpenALSoundInfo* sfx, float pitch, float gain, bool loop,
                                   bool positioned, const SVector3f& position,
                                   const SVector3f& velocity, float offset)
{
    if (!ZU_CHECK(sfx) || !ZU_CHECK(offset >= 0)) return 0;
    SOpenALSource* source = acquireSource();
    if (!source)
    {
        zuPrint("No available OpenAL sources!\n");
        return 0;
    }
    source->pitch = pitch;
    alSourcei(source->id, AL_BUFFER, static_cast<ALint>(sfx->getBuffer()));
    if (!configureSource(source->id, pitch, gain, loop, positioned, position, velocity)) return 0;
    alSourcePlay(source->id);
    if (offset != 0.f) alSourcef(source->id, AL_SEC_OFFSET, wrapOffset(offset, sfx->getDuration()));
    return source->id;
}

bool COpenALDriver::startOneShot(CSoundInfoStub* sound, float gain, float pan, float pitch)
{
    return startSound(static_cast<COpenALSoundInfo*>(sound), pitch, gain, false, false,
                      panPosition(pan), SVector3f{}, 0.f) != 0;
}

bool COpenALDriver::startPositioned(CSoundInfoStub* sound, float gain, float pitch,
                                    const SVector3f& position, const SVector3f& velocity)
{
    return startSound(static_cast<COpenALSoundInfo*>(sound), pitch, gain, false, true, position,
                      velocity, 0.f) != 0;
}

void COpenALDriver::scalePlayingGains(float factor)
{
    // Only effects that end by themselves are lowered: a loop lowered here
    // would stay quiet after the voice is gone.
    if (!m_context) return;
    for (const SOpenALSource& source : m_busySources)
    {
        ALint state = AL_STOPPED;
        ALint looping = AL_FALSE;
        alGetSourcei(source.id, AL_SOURCE_STATE, &state);
        alGetSourcei(source.id, AL_LOOPING, &looping);
        if (state != AL_PLAYING || looping) continue;
        float gain = 1.f;
        alGetSourcef(source.id, AL_GAIN, &gain);
        alSourcef(source.id, AL_GAIN, gain * factor);
    }
}

bool COpenALDriver::startLoop(CSoundInfoStub* sound, float gain, float pan, float pitch,
                              float offset)
{
    auto* sfx = static_cast<COpenALSoundInfo*>(sound);
    SOpenALSource* source = sfx->getLoopSource() ? findBusySource(sfx->getLoopSource()) : nullptr;
    bool fresh = false;
    if (!source)
    {
        sfx->setLoopSource(0);
        source = acquireSource();
        if (!source) return false;
        sfx->setLoopSource(source->id);
        fresh = true;
    }
    source->pitch = pitch;
    if (!configureSource(source->id, pitch, gain, true, false, panPosition(pan), SVector3f{}))
    {
        if (fresh) sfx->setLoopSource(0);
        return false;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(source->id, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
    {
        alSourcei(source->id, AL_BUFFER, static_cast<ALint>(sfx->getBuffer()));
        alSourcef(source->id, AL_SEC_OFFSET, wrapOffset(offset, sfx->getDuration()));
        alSourcePlay(source->id);
    }
    return true;
}

void COpenALDriver::stopLoop(CSoundInfoStub* sound)
{
    auto* sfx = static_cast<COpenALSoundInfo*>(sound);
    if (sfx->getLoopSource() && m_context) alSourceStop(sfx->getLoopSource());
    // Forgotten at once: the stopped source goes back to the pool and may
    // soon play another sound.
    sfx->setLoopSource(0);
}

void COpenALDriver::stopSoundLoop(CSoundInfoStub* sound)
{
    stopLoop(sound);
}

CMusicInfoStub* COpenALDriver::createMusicStream(const CString& name)
{
    return new COpenALMusicInfo(soundPath(name));
}

void COpenALDriver::startMusicStream(CMusicInfoStub* stream, float gain, bool loop, int)
{
    auto* music = static_cast<COpenALMusicInfo*>(stream);
    if (!m_context)
    {
        zuPrint("No available OpenAL sources!\n");
        return;
    }
    // A stream that played to its end but was not refilled since is
    // started afresh.
    if (music->isOpen() && !music->isPlaying()) music->close();
    if (!music->isOpen())
    {
        zu::io::IReadFile* file = openFile(music->getPath());
        bool opened = music->open(file);
        if (file) file->drop();
        if (!opened) return;
    }
    music->start(gain, loop);
}

void COpenALDriver::closeMusicStream(CMusicInfoStub* stream)
{
    static_cast<COpenALMusicInfo*>(stream)->close();
}

bool COpenALDriver::setMusicStreamGain(CMusicInfoStub* stream, float gain)
{
    return static_cast<COpenALMusicInfo*>(stream)->setGain(gain);
}

bool COpenALDriver::isMusicStreamPlaying(CMusicInfoStub* stream)
{
    return static_cast<COpenALMusicInfo*>(stream)->isPlaying();
}

void COpenALDriver::applyListenerPosition(const SVector3f& position)
{
    if (m_context) alListener3f(AL_POSITION, position.x, position.y, position.z);
}

void COpenALDriver::applyListenerVelocity(const SVector3f& velocity)
{
    if (m_context) alListener3f(AL_VELOCITY, velocity.x, velocity.y, velocity.z);
}

void COpenALDriver::applyListenerGain(float gain)
{
    if (m_context) alListenerf(AL_GAIN, gain);
}

void COpenALDriver::applyListenerOrientation(const SVector3f& at, const SVector3f& up)
{
    if (!m_context) return;
    const float values[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListenerfv(AL_ORIENTATION, values);
}

CTrackedSoundInfoStub* COpenALDriver::startTrackedSource(CSoundInfoStub* sound, float gain,
                                                         float pitch, const SVector3f& position,
                                                         const SVector3f& velocity, float offset)
{
    auto* sfx = static_cast<COpenALSoundInfo*>(sound);
    uint32_t source = startSound(sfx, pitch, gain, true, true, position, velocity, offset);
    if (!source) return nullptr;
    return new COpenALTrackedSoundInfo(sfx, source, pitch);
}

void COpenALDriver::stopTrackedSource(CTrackedSoundInfoStub* tracked)
{
    if (m_context) alSourceStop(static_cast<COpenALTrackedSoundInfo*>(tracked)->getSource());
}

float COpenALDriver::updateTrackedSource(CTrackedSoundInfoStub* trackedStub, float gain,
                                         float pitch, const SVector3f& position,
                                         const SVector3f& velocity)
{
    if (!ZU_CHECK(gain >= 0) || !ZU_CHECK(pitch >= 0)) return 0.f;
    auto* tracked = static_cast<COpenALTrackedSoundInfo*>(trackedStub);
    tracked->setPitch(pitch);
    if (!m_context) return 0.f;
    uint32_t id = tracked->getSource();
    if (SOpenALSource* source = findBusySource(id)) source->pitch = pitch;
    alSourcef(id, AL_PITCH, m_globalPitch * pitch);
    alSourcef(id, AL_GAIN, gain);
    alSource3f(id, AL_POSITION, position.x, position.y, position.z);
    alSource3f(id, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
    float seconds = 0.f;
    alGetSourcef(id, AL_SEC_OFFSET, &seconds);
    return seconds;
}

} // namespace kelvo::audio
