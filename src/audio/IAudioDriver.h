// IAudioDriver: sound effects (one-shot, looping, positioned, tracked), streamed
// music and one streamed voice line that may lower the effects while it speaks.
//
// Names are file names relative to the sound folder, compared exactly. Gains
// and pitches are linear factors (1.0 = unchanged), offsets and durations are
// seconds, positions, velocities and directions are OpenAL's right-handed
// coordinates. Gains, pitches and offsets must not be negative (or NaN): those
// are programming errors here, and the script library filters them first.
//
// The host calls update once per frame; everything runs on the main thread.
#pragma once

#include "audio/CMusicInfoStub.h"
#include "audio/CSoundInfoStub.h"
#include "audio/CTrackedSoundInfoStub.h"
#include "audio/SVector3f.h"
#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::audio
{

class IAudioDriver : public virtual IUnknown
{
  public:
    // Stops all music, all tracked sounds and every sound's loop.
    virtual void stopAllSounds() = 0;
    // Once per frame: keeps music and the voice streaming.
    virtual void update() = 0;

    // File names are looked up as folder + "/" + name.
    virtual void setSoundFolder(const core::CString& folder) = 0;
    // Levels run from 0 (silent) to 5 (full), 20 % per level.
    virtual void setSoundVolumeLevel(int32_t level) = 0;
    virtual void setMusicVolumeLevel(int32_t level) = 0;
    virtual int32_t getSoundVolumeLevel() const = 0;
    virtual int32_t getMusicVolumeLevel() const = 0;
    // The listener's gain over every sound, music and voice: 0 (silent) to 1
    // (full, the default); values outside are cut to that range.
    virtual void setMasterVolume(float volume) = 0;
    virtual float getMasterVolume() const = 0;
    // Loads the sound when needed; 0 when it cannot be loaded.
    virtual float getSoundDuration(const core::CString& name) = 0;
    // While a voice plays, new effects start at a quarter of their gain.
    virtual void setVoiceDucking(bool on) = 0;
    virtual void setGlobalPitch(float pitch) = 0;
    virtual void setMusicHasGlobalPitch(bool on) = 0;
    // Used by positioned sounds started afterwards.
    virtual void setGlobalRolloffFactor(float factor) = 0;
    // 1 inverse, 2 inverse clamped, 3 linear, 4 linear clamped, 5 exponent,
    // 6 exponent clamped; false (and nothing changed) for any other number.
    virtual bool setDistanceModel(int32_t model) = 0;
    // Stored only.
    virtual void setSoundPriority(float value) = 0;

    virtual bool loadSound(const core::CString& name) = 0;
    // A one-shot effect; pan -0.5 .. 0.5 moves it from one side to the other.
    // True also when it was deliberately not played (volume 0, started less
    // than 50 ms ago).
    virtual bool playSound(const core::CString& name, float gain, float pan, float pitch) = 0;
    // Starts the sound's loop, or only changes gain, pan and pitch when it
    // already plays.
    virtual bool playLoopSound(const core::CString& name, float gain, float pan, float pitch,
                               float offset) = 0;
    virtual void stopLoopSound(const core::CString& name) = 0;

    virtual bool loadMusic(const core::CString& name) = 0;
    virtual void playMusic(const core::CString& name, float gain, bool loop) = 0;
    virtual void stopMusic(const core::CString& name) = 0;
    // False when the music is unknown, closed or not playing.
    virtual bool updateMusic(const core::CString& name, float gain) = 0;
    virtual void stopAllMusic() = 0;

    // Replaces any current voice.
    virtual void playVoice(const core::CString& name) = 0;
    virtual void stopVoice() = 0;
    virtual bool isVoicePlaying() = 0;

    // Facing (0, 0, 1) with up (0, -1, 0).
    virtual void resetListenerOrientation() = 0;
    virtual void setListenerOrientation(const SVector3f& at, const SVector3f& up) = 0;
    // The listener at a camera's position facing its target, each with the z
    // component negated (the scene's coordinates are left-handed).
    virtual void setListenerFromCamera(const SVector3f& position, const SVector3f& target,
                                       const SVector3f& up) = 0;
    virtual void setListenerPosition(const SVector3f& position, const SVector3f& velocity) = 0;
    // Used by positioned sounds started afterwards.
    virtual void setOrientedSoundCone(int32_t innerAngle, int32_t outerAngle,
                                      const SVector3f& direction) = 0;
    virtual bool playOrientedSound(const core::CString& name, float gain, float pitch,
                                   const SVector3f& position, const SVector3f& velocity) = 0;
    // A looping positioned sound the script moves; a new id >= 1, or -1.
    virtual int32_t startTrackedSound(const core::CString& name, float gain, float pitch,
                                      const SVector3f& position, const SVector3f& velocity,
                                      float offset) = 0;
    // Unknown ids are ignored.
    virtual void stopTrackedSound(int32_t id) = 0;
    // The next id is 1 again.
    virtual void stopAllTrackedSounds() = 0;
    // The play position in seconds; 0 for an unknown id.
    virtual float updateTrackedSound(int32_t id, float gain, float pitch, const SVector3f& position,
                                     const SVector3f& velocity) = 0;

  protected:
    // The implementation's hooks, called only by the shared driver base.

    // Decodes a sound file; null when it cannot be loaded.
    virtual CSoundInfoStub* createSoundData(const core::CString& name) = 0;
    virtual bool startOneShot(CSoundInfoStub* sound, float gain, float pan, float pitch) = 0;
    // Lowers the effects that are playing when a voice starts.
    virtual void scalePlayingGains(float factor) = 0;
    virtual bool startLoop(CSoundInfoStub* sound, float gain, float pan, float pitch,
                           float offset) = 0;
    // Stops and forgets the sound's looping source.
    virtual void stopLoop(CSoundInfoStub* sound) = 0;
    virtual void stopSoundLoop(CSoundInfoStub* sound) = 0;
    // Records the file; opens nothing yet.
    virtual CMusicInfoStub* createMusicStream(const core::CString& name) = 0;
    virtual void startMusicStream(CMusicInfoStub* stream, float gain, bool loop, int ignored) = 0;
    virtual void closeMusicStream(CMusicInfoStub* stream) = 0;
    virtual bool setMusicStreamGain(CMusicInfoStub* stream, float gain) = 0;
    virtual bool isMusicStreamPlaying(CMusicInfoStub* stream) = 0;
    virtual void applyListenerPosition(const SVector3f& position) = 0;
    virtual void applyListenerVelocity(const SVector3f& velocity) = 0;
    virtual void applyListenerOrientation(const SVector3f& at, const SVector3f& up) = 0;
    virtual void applyListenerGain(float gain) = 0;
    virtual bool startPositioned(CSoundInfoStub* sound, float gain, float pitch,
                                 const SVector3f& position, const SVector3f& velocity) = 0;
    // Null when no source is free.
    virtual CTrackedSoundInfoStub* startTrackedSource(CSoundInfoStub* sound, float gain,
                                                      float pitch, const SVector3f& position,
                                                      const SVector3f& velocity, float offset) = 0;
    virtual void stopTrackedSource(CTrackedSoundInfoStub* tracked) = 0;
    virtual float updateTrackedSource(CTrackedSoundInfoStub* tracked, float gain, float pitch,
                                      const SVector3f& position, const SVector3f& velocity) = 0;
};

} // namespace zu::audio
