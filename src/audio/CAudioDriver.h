// CAudioDriver: the part of the audio driver that knows no audio library: the
// registries of sounds (by name), tracked sounds (by id) and music (by name),
// the volume levels, the voice line with its ducking, the listener, the cone
// of positioned sounds and the 50 ms repeat guard of one-shot effects. The
// implementation supplies decoding, sources and streaming through the hooks
// of IAudioDriver.
#pragma once

#include "audio/IAudioDriver.h"

#include <map>
#include <set>

namespace zu
{
class ITimer;
}

namespace kelvo::audio
{

class CAudioDriver : public zu::audio::IAudioDriver
{
  public:
    // The same effect starts at most once in this many milliseconds.
    static constexpr uint32_t kRepeatGuardMs = 50;
    // The gain factor of new effects while a voice speaks with ducking on.
    static constexpr float kDuckingFactor = 0.25f;

    // The timer is the clock of the repeat guard (grabbed; null: the
    // process's monotonic clock).
    explicit CAudioDriver(zu::ITimer* timer);
    ~CAudioDriver() override;

    void stopAllSounds() override;

    void setSoundFolder(const zu::core::CString& folder) override
    {
        m_soundFolder = folder;
        m_failedSounds.clear();
    }
    void setSoundVolumeLevel(int32_t level) override;
    void setMusicVolumeLevel(int32_t level) override;
    int32_t getSoundVolumeLevel() const override { return m_soundLevel; }
    int32_t getMusicVolumeLevel() const override { return m_musicLevel; }
    void setMasterVolume(float volume) override;
    float getMasterVolume() const override { return m_masterVolume; }
    float getSoundDuration(const zu::core::CString& name) override;
    void setVoiceDucking(bool on) override { m_voiceDucking = on; }
    void setMusicHasGlobalPitch(bool on) override { m_musicHasGlobalPitch = on; }
    void setGlobalRolloffFactor(float factor) override { m_rolloffFactor = factor; }
    void setSoundPriority(float value) override { m_priority = value; }

    bool loadSound(const zu::core::CString& name) override;
    bool playSound(const zu::core::CString& name, float gain, float pan, float pitch) override;
    bool playLoopSound(const zu::core::CString& name, float gain, float pan, float pitch,
                       float offset) override;
    void stopLoopSound(const zu::core::CString& name) override;

    bool loadMusic(const zu::core::CString& name) override;
    void playMusic(const zu::core::CString& name, float gain, bool loop) override;
    void stopMusic(const zu::core::CString& name) override;
    bool updateMusic(const zu::core::CString& name, float gain) override;
    void stopAllMusic() override;

    void playVoice(const zu::core::CString& name) override;
    void stopVoice() override;
    bool isVoicePlaying() override;

    void resetListenerOrientation() override;
    void setListenerOrientation(const zu::audio::SVector3f& at,
                                const zu::audio::SVector3f& up) override;
    void setListenerFromCamera(const zu::audio::SVector3f& position,
                               const zu::audio::SVector3f& target,
                               const zu::audio::SVector3f& up) override;
    void setListenerPosition(const zu::audio::SVector3f& position,
                             const zu::audio::SVector3f& velocity) override;
    void setOrientedSoundCone(int32_t innerAngle, int32_t outerAngle,
                              const zu::audio::SVector3f& direction) override;
    bool playOrientedSound(const zu::core::CString& name, float gain, float pitch,
                           const zu::audio::SVector3f& position,
                           const zu::audio::SVector3f& velocity) override;
    int32_t startTrackedSound(const zu::core::CString& name, float gain, float pitch,
                              const zu::audio::SVector3f& position,
                              const zu::audio::SVector3f& velocity, float offset) override;
    void stopTrackedSound(int32_t id) override;
    void stopAllTrackedSounds() override;
    float updateTrackedSound(int32_t id, float gain, float pitch,
                             const zu::audio::SVector3f& position,
                             const zu::audio::SVector3f& velocity) override;

    float getSoundVolume() const { return m_soundVolume; }
    float getMusicVolume() const { return m_musicVolume; }
    const zu::core::CString& getSoundFolder() const { return m_soundFolder; }
    const zu::audio::SVector3f& getListenerPosition() const { return m_listenerPosition; }
    float getSoundPriority() const { return m_priority; }

  protected:
    // One loaded sound and when it last started as a one-shot.
    struct SSoundEntry
    {
        zu::audio::CSoundInfoStub* data = nullptr;
        uint32_t lastStart = 0;
        // A sound never started is never held back by the repeat guard.
        bool started = false;
    };

    // The base's positioned start: a one-shot panned by the side of the
    // listener the position lies on.
    bool startPositioned(zu::audio::CSoundInfoStub* sound, float gain, float pitch,
                         const zu::audio::SVector3f& position,
                         const zu::audio::SVector3f& velocity) override;

    // The length of a loaded sound in seconds.
    virtual float getSoundDataDuration(const zu::audio::CSoundInfoStub* sound) const = 0;

    // Deletes every tracked sound, music stream, the voice and all sound data,
    // after stopping them through the hooks. An implementation calls it from
    // its destructor while its hooks still work.
    void releaseAll();

    // The file path of a name in the sound folder.
    zu::core::CString soundPath(const zu::core::CString& name) const
    {
        return m_soundFolder + "/" + name;
    }
    uint32_t now() const;

    const std::map<int32_t, zu::audio::CTrackedSoundInfoStub*>& trackedSounds() const
    {
        return m_tracked;
    }
    // One registered music stream and the gain the script gave it; the
    // stream plays at that gain times the music volume.
    struct SMusicEntry
    {
        zu::audio::CMusicInfoStub* stream = nullptr;
        float gain = 1.f;
    };
    const std::map<zu::core::CString, SMusicEntry>& musicStreams() const { return m_music; }
    zu::audio::CMusicInfoStub* voice() const { return m_voice; }
    // The loaded sound of a name, or null; loads nothing.
    zu::audio::CSoundInfoStub* findSoundData(const zu::core::CString& name) const
    {
        auto it = m_sounds.find(name);
        return it == m_sounds.end() ? nullptr : it->second.data;
    }
    bool musicHasGlobalPitch() const { return m_musicHasGlobalPitch; }
    float rolloffFactor() const { return m_rolloffFactor; }
    int32_t coneInnerAngle() const { return m_coneInner; }
    int32_t coneOuterAngle() const { return m_coneOuter; }
    const zu::audio::SVector3f& coneDirection() const { return m_coneDirection; }

  private:
    // The loaded entry of a name, loading it on demand; null when it cannot
    // be loaded.
    SSoundEntry* findOrLoad(const zu::core::CString& name);
    // Ducking for a new effect: the factor for its gain; a voice that has
    // finished is stopped here.
    float duckingFactor();
    // Steps 1 to 4 of a one-shot; null when nothing is to be started, with
    // the call's result in `result`.
    SSoundEntry* prepareOneShot(const zu::core::CString& name, float& gain, bool& result);

    std::map<zu::core::CString, SSoundEntry> m_sounds;
    std::map<int32_t, zu::audio::CTrackedSoundInfoStub*> m_tracked;
    int32_t m_nextTrackedId = 1;
    std::map<zu::core::CString, SMusicEntry> m_music;
    zu::audio::CMusicInfoStub* m_voice = nullptr;
    bool m_voiceDucking = true;
    bool m_musicHasGlobalPitch = false;
    float m_rolloffFactor = 1.f;
    zu::core::CString m_soundFolder;
    // Sounds that could not be loaded since the folder was set.
    std::set<zu::core::CString> m_failedSounds;
    float m_soundVolume = 1.f;
    float m_musicVolume = 0.6f;
    int32_t m_soundLevel = 5;
    int32_t m_musicLevel = 3;
    float m_masterVolume = 1.f;
    zu::audio::SVector3f m_listenerPosition;
    int32_t m_coneInner = 30;
    int32_t m_coneOuter = 75;
    zu::audio::SVector3f m_coneDirection{0.f, 0.f, -1.f};
    // Kept for scripts that set it; playback does not use it.
    float m_priority = 1.f;
    zu::ITimer* m_timer;
};

} // namespace kelvo::audio
