// COpenALDriver: the audio driver over OpenAL, with Ogg Vorbis decoded by
// vorbisfile.
//
// Effects are decoded whole into one buffer each, kept for the driver's life.
// Sources are pooled: up to 16 are made at start, more on demand while fewer
// than 255 are busy, and stopped ones are taken back only when the pool runs
// empty. Music and the voice stream through their own sources (see
// COpenALMusicInfo). Without a sound device the driver still works as far as
// it can: sounds load (so durations are known) but nothing finds a source.
#pragma once

#include "audio/CAudioDriver.h"
#include "audio/SOpenALSource.h"

#include <deque>
#include <list>
#include <vector>

namespace zu
{
class ITimer;
namespace io
{
class IFileSystem;
class IReadFile;
} // namespace io
} // namespace zu

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace kelvo::audio
{

class COpenALSoundInfo;

class COpenALDriver : public CAudioDriver
{
  public:
    static constexpr int kInitialSources = 16;
    static constexpr int kMaxBusySources = 255;
    // No sound effect decodes to more than this.
    static constexpr uint64_t kMaxSoundBytes = 512ull << 20;

    // Files are opened through the file system (grabbed; null: straight from
    // disk). The timer is the repeat guard's clock. deviceName picks an
    // OpenAL device; null opens the default one.
    COpenALDriver(zu::io::IFileSystem* fileSystem, zu::ITimer* timer,
                  const char* deviceName = nullptr);
    ~COpenALDriver() override;

    void update() override;
    void setGlobalPitch(float pitch) override;
    bool setDistanceModel(int32_t model) override;

    // True when a device and a context were made.
    bool hasDevice() const { return m_context != nullptr; }
    float getGlobalPitch() const { return m_globalPitch; }
    size_t getFreeSourceCount() const { return m_freeSources.size(); }
    size_t getBusySourceCount() const { return m_busySources.size(); }
    size_t getBufferCount() const { return m_buffers.size(); }
    // For tests and diagnostics: the sources now playing, with or without
    // looping; the source a loaded sound loops on (0: none); whether a
    // registered music stream is open.
    size_t countPlayingSources(bool looping) const;
    uint32_t getLoopSourceOf(const zu::core::CString& name) const;
    bool isMusicOpen(const zu::core::CString& name) const;

  protected:
    float getSoundDataDuration(const zu::audio::CSoundInfoStub* sound) const override;

    zu::audio::CSoundInfoStub* createSoundData(const zu::core::CString& name) override;
    bool startOneShot(zu::audio::CSoundInfoStub* sound, float gain, float pan,
                      float pitch) override;
    void scalePlayingGains(float factor) override;
    bool startLoop(zu::audio::CSoundInfoStub* sound, float gain, float pan, float pitch,
                   float offset) override;
    void stopLoop(zu::audio::CSoundInfoStub* sound) override;
    void stopSoundLoop(zu::audio::CSoundInfoStub* sound) override;
    zu::audio::CMusicInfoStub* createMusicStream(const zu::core::CString& name) override;
    void startMusicStream(zu::audio::CMusicInfoStub* stream, float gain, bool loop,
                          int ignored) override;
    void closeMusicStream(zu::audio::CMusicInfoStub* stream) override;
    bool setMusicStreamGain(zu::audio::CMusicInfoStub* stream, float gain) override;
    bool isMusicStreamPlaying(zu::audio::CMusicInfoStub* stream) override;
    void applyListenerPosition(const zu::audio::SVector3f& position) override;
    void applyListenerVelocity(const zu::audio::SVector3f& velocity) override;
    void applyListenerOrientation(const zu::audio::SVector3f& at,
                                  const zu::audio::SVector3f& up) override;
    void applyListenerGain(float gain) override;
    bool startPositioned(zu::audio::CSoundInfoStub* sound, float gain, float pitch,
                         const zu::audio::SVector3f& position,
                         const zu::audio::SVector3f& velocity) override;
    zu::audio::CTrackedSoundInfoStub* startTrackedSource(zu::audio::CSoundInfoStub* sound,
                                                         float gain, float pitch,
                                                         const zu::audio::SVector3f& position,
                                                         const zu::audio::SVector3f& velocity,
                                                         float offset) override;
    void stopTrackedSource(zu::audio::CTrackedSoundInfoStub* tracked) override;
    float updateTrackedSource(zu::audio::CTrackedSoundInfoStub* tracked, float gain, float pitch,
                              const zu::audio::SVector3f& position,
                              const zu::audio::SVector3f& velocity) override;

  private:
    // A free source moved to the busy list, or null when none can be had.
    SOpenALSource* acquireSource();
    // The busy record of a source id, or null.
    SOpenALSource* findBusySource(uint32_t id);
    // Sets up a source for a start; false (nothing set) when a value is out
    // of range.
    bool configureSource(uint32_t source, float pitch, float gain, bool loop, bool positioned,
                         const zu::audio::SVector3f& position,
                         const zu::audio::SVector3f& velocity);
    // Attaches, configures and plays the sound on a new source, from the
    // offset (taken modulo the duration). The source id, or 0.
    uint32_t startSound(COpenALSoundInfo* sound, float pitch, float gain, bool loop,
                        bool positioned, const zu::audio::SVector3f& position,
                        const zu::audio::SVector3f& velocity, float offset);
    // The play position for an offset that may exceed the sound's length.
    static float wrapOffset(float offset, float duration);
    zu::io::IReadFile* openFile(const zu::core::CString& path);
    // The relative position that places a sound at a pan value.
    static zu::audio::SVector3f panPosition(float pan);

    zu::io::IFileSystem* m_fileSystem;
    ALCdevice_struct* m_device = nullptr;
    ALCcontext_struct* m_context = nullptr;
    std::vector<uint32_t> m_buffers;
    std::deque<SOpenALSource> m_freeSources;
    std::list<SOpenALSource> m_busySources;
    float m_globalPitch = 1.f;
};

} // namespace kelvo::audio
