#include "audio/CAudioDriver.h"

#include "core/Output.h"
#include "core/ITimer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace kelvo::audio
{

using zu::audio::CMusicInfoStub;
using zu::audio::CSoundInfoStub;
using zu::audio::CTrackedSoundInfoStub;
using zu::audio::SVector3f;
using zu::core::CString;
using zu::core::zuPrint;

namespace
{

float levelToVolume(int32_t level)
{
    return std::clamp(static_cast<float>(level) * 20.f * 0.01f, 0.f, 1.f);
}

} // namespace

CAudioDriver::CAudioDriver(zu::ITimer* timer) : m_timer(timer)
{
    if (m_timer) m_timer->grab();
    m_soundVolume = levelToVolume(m_soundLevel);
    m_musicVolume = levelToVolume(m_musicLevel);
}

CAudioDriver::~CAudioDriver()
{
    // The implementation has released everything while its hooks still
    // worked; whatever is left only needs its memory back.
    for (auto& entry : m_tracked)
        delete entry.second;
    for (auto& entry : m_music)
        delete entry.second.stream;
    for (auto& entry : m_sounds)
        delete entry.second.data;
    delete m_voice;
    if (m_timer) m_timer->drop();
}

void CAudioDriver::releaseAll()
{
    stopAllSounds();
    stopVoice();
    for (auto& entry : m_music)
    {
        delete entry.second.stream;
        entry.second.stream = nullptr;
    }
    m_music.clear();
    for (auto& entry : m_sounds)
        delete entry.second.data;
    m_sounds.clear();
}

uint32_t CAudioDriver::now() const
{
    if (m_timer) return m_timer->getRealTime();
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CAudioDriver::stopAllSounds()
{
    stopAllMusic();
    stopAllTrackedSounds();
    for (auto& entry : m_sounds)
        stopSoundLoop(entry.second.data);
}

void CAudioDriver::setSoundVolumeLevel(int32_t level)
{
    m_soundLevel = level;
    m_soundVolume = levelToVolume(level);
}

void CAudioDriver::setMusicVolumeLevel(int32_t level)
{
    m_musicLevel = level;
    m_musicVolume = levelToVolume(level);
    for (auto& entry : m_music)
        setMusicStreamGain(entry.second.stream, entry.second.gain * m_musicVolume);
}

void CAudioDriver::setMasterVolume(float volume)
{
    if (std::isnan(volume)) return;
    m_masterVolume = std::clamp(volume, 0.f, 1.f);
    applyListenerGain(m_masterVolume);
}

float CAudioDriver::getSoundDuration(const CString& name)
{
    SSoundEntry* entry = findOrLoad(name);
    if (!entry) return 0.f;
    return getSoundDataDuration(entry->data);
}

bool CAudioDriver::loadSound(const CString& name)
{
    if (m_sounds.count(name)) return true;
    // A game playing a broken sound every frame opens it once: the decoder
    // library loses a few bytes on some damaged files, and one message says
    // enough. A new sound folder (a restarted script) tries again.
    if (m_failedSounds.count(name)) return false;
    CSoundInfoStub* data = createSoundData(name);
    if (!data)
    {
        zuPrint("Failed to load sound effect: %s\n", name.c_str());
        m_failedSounds.insert(name);
        return false;
    }
    m_sounds[name].data = data;
    return true;
}

CAudioDriver::SSoundEntry* CAudioDriver::findOrLoad(const CString& name)
{
    auto it = m_sounds.find(name);
    if (it != m_sounds.end()) return &it->second;
    if (!loadSound(name)) return nullptr;
    return &m_sounds[name];
}

float CAudioDriver::duckingFactor()
{
    if (!m_voice) return 1.f;
    if (isMusicStreamPlaying(m_voice)) return m_voiceDucking ? kDuckingFactor : 1.f;
    stopVoice();
    return 1.f;
}

CAudioDriver::SSoundEntry* CAudioDriver::prepareOneShot(const CString& name, float& gain,
                                                        bool& result)
{
    result = true;
    if (m_soundVolume <= 0.f) return nullptr;
    SSoundEntry* entry = findOrLoad(name);
    if (!entry)
    {
        zuPrint("Attempted to play a sound effect that didn't exist: %s\n", name.c_str());
        result = false;
        return nullptr;
    }
    uint32_t time = now();
    if (entry->started && time - entry->lastStart < kRepeatGuardMs) return nullptr;
    gain *= duckingFactor();
    entry->lastStart = time;
    entry->started = true;
    return entry;
}

bool CAudioDriver::playSound(const CString& name, float gain, float pan, float pitch)
{
    bool result;
    SSoundEntry* entry = prepareOneShot(name, gain, result);
    if (!entry) return result;
    return startOneShot(entry->data, gain, pan, pitch);
}

bool CAudioDriver::playOrientedSound(const CString& name, float gain, float pitch,
                                     const SVector3f& position, const SVector3f& velocity)
{
    bool result;
    SSoundEntry* entry = prepareOneShot(name, gain, result);
    if (!entry) return result;
    return startPositioned(entry->data, gain, pitch, position, velocity);
}

bool CAudioDriver::startPositioned(CSoundInfoStub* sound, float gain, float pitch,
                                   const SVector3f& position, const SVector3f&)
{
    float pan = 0.f;
    if (position.x < m_listenerPosition.x)
        pan = 0.5f;
    else if (position.x > m_listenerPosition.x)
        pan = -0.5f;
    return startOneShot(sound, gain, pan, pitch);
}

bool CAudioDriver::playLoopSound(const CString& name, float gain, float pan, float pitch,
                                 float offset)
{
    SSoundEntry* entry = findOrLoad(name);
    if (!entry)
    {
        zuPrint("Attempted to play a sound effect that didn't exist: %s\n", name.c_str());
        return false;
    }
    gain *= duckingFactor();
    startLoop(entry->data, gain, pan, pitch, offset);
    // Without a free source the loop silently plays nothing.
    return true;
}

void CAudioDriver::stopLoopSound(const CString& name)
{
    auto it = m_sounds.find(name);
    if (it != m_sounds.end()) stopLoop(it->second.data);
}

bool CAudioDriver::loadMusic(const CString& name)
{
    if (m_music.count(name)) return true;
    CMusicInfoStub* stream = createMusicStream(name);
    if (!stream) return false;
    m_music[name].stream = stream;
    return true;
}

void CAudioDriver::playMusic(const CString& name, float gain, bool loop)
{
    if (m_musicVolume <= 0.f) return;
    if (!loadMusic(name))
    {
        zuPrint("Attempted to play music that didn't exist: %s\n", name.c_str());
        return;
    }
    SMusicEntry& entry = m_music[name];
    entry.gain = gain;
    startMusicStream(entry.stream, gain * m_musicVolume, loop, 0);
}

void CAudioDriver::stopMusic(const CString& name)
{
    auto it = m_music.find(name);
    if (it != m_music.end()) closeMusicStream(it->second.stream);
}

bool CAudioDriver::updateMusic(const CString& name, float gain)
{
    auto it = m_music.find(name);
    if (it == m_music.end()) return false;
    it->second.gain = gain;
    return setMusicStreamGain(it->second.stream, gain * m_musicVolume);
}

void CAudioDriver::stopAllMusic()
{
    for (auto& entry : m_music)
        closeMusicStream(entry.second.stream);
}

void CAudioDriver::playVoice(const CString& name)
{
    bool hadVoice = m_voice != nullptr;
    stopVoice();
    m_voice = createMusicStream(name);
    if (!m_voice) return;
    startMusicStream(m_voice, 1.f, false, 0);
    if (!hadVoice && m_voiceDucking) scalePlayingGains(kDuckingFactor);
}

void CAudioDriver::stopVoice()
{
    if (!m_voice) return;
    closeMusicStream(m_voice);
    delete m_voice;
    m_voice = nullptr;
}

bool CAudioDriver::isVoicePlaying()
{
    if (!m_voice) return false;
    if (isMusicStreamPlaying(m_voice)) return true;
    stopVoice();
    return false;
}

void CAudioDriver::resetListenerOrientation()
{
    applyListenerOrientation(SVector3f{0.f, 0.f, 1.f}, SVector3f{0.f, -1.f, 0.f});
}

void CAudioDriver::setListenerOrientation(const SVector3f& at, const SVector3f& up)
{
    applyListenerOrientation(at, up);
}

void CAudioDriver::setListenerFromCamera(const SVector3f& position, const SVector3f& target,
                                         const SVector3f& up)
{
    m_listenerPosition = SVector3f{position.x, position.y, -position.z};
    applyListenerPosition(m_listenerPosition);
    // OpenAL wants the direction the listener faces, not the point it looks at.
    applyListenerOrientation(
        SVector3f{target.x - position.x, target.y - position.y, -(target.z - position.z)},
        SVector3f{up.x, up.y, -up.z});
}

void CAudioDriver::setListenerPosition(const SVector3f& position, const SVector3f& velocity)
{
    m_listenerPosition = position;
    applyListenerPosition(position);
    applyListenerVelocity(velocity);
}

void CAudioDriver::setOrientedSoundCone(int32_t innerAngle, int32_t outerAngle,
                                        const SVector3f& direction)
{
    m_coneInner = innerAngle;
    m_coneOuter = outerAngle;
    m_coneDirection = direction;
}

int32_t CAudioDriver::startTrackedSound(const CString& name, float gain, float pitch,
                                        const SVector3f& position, const SVector3f& velocity,
                                        float offset)
{
    SSoundEntry* entry = findOrLoad(name);
    if (!entry)
    {
        zuPrint("Attempted to play a sound effect that didn't exist: %s\n", name.c_str());
        return -1;
    }
    // Ids are never used twice until stopAllTrackedSounds starts them again.
    if (m_nextTrackedId == INT32_MAX)
        return -1;
    CTrackedSoundInfoStub* tracked =
        startTrackedSource(entry->data, gain, pitch, position, velocity, offset);
    if (!tracked) return -1;
    int32_t id = m_nextTrackedId++;
    m_tracked[id] = tracked;
    return id;
}

void CAudioDriver::stopTrackedSound(int32_t id)
{
    auto it = m_tracked.find(id);
    if (it == m_tracked.end()) return;
    stopTrackedSource(it->second);
    delete it->second;
    m_tracked.erase(it);
}

void CAudioDriver::stopAllTrackedSounds()
{
    for (auto& entry : m_tracked)
    {
        stopTrackedSource(entry.second);
        delete entry.second;
    }
    m_tracked.clear();
    m_nextTrackedId = 1;
}

float CAudioDriver::updateTrackedSound(int32_t id, float gain, float pitch,
                                       const SVector3f& position, const SVector3f& velocity)
{
    auto it = m_tracked.find(id);
    if (it == m_tracked.end()) return 0.f;
    return updateTrackedSource(it->second, gain, pitch, position, velocity);
}

} // namespace kelvo::audio
