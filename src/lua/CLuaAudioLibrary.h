// CLuaAudioLibrary: the script table `audio`: sound effects (one-shot,
// oriented, looping, tracked), music, the voice line, the listener and the
// global settings, each function a thin call of the audio driver.
//
// Arguments are read by position; missing trailing ones take their defaults,
// nil counts as missing, and a value of the wrong type raises the runtime's
// argument error. Numbers a script passes never reach the driver unchecked:
// - gains, pitches, offsets: NaN and negative values become 0 (except in
//   startTrackedSound, which refuses them with -2), values beyond the limits
//   below are cut to them;
// - pans, positions, velocities and directions: NaN becomes 0, the rest is
//   cut to +-kMaxCoordinate;
// - setGlobalPitch and setGlobalRolloffFactor ignore NaN, raise negative
//   values to 0 and cut large ones;
// - cone angles are cut to 0..360, ids to the 32-bit range.
//
// The library object holds the driver (which may be null on a machine
// without one: then every function returns its failure value) and makes it
// the process-wide one the functions use; the newest library wins.
#pragma once

#include <lua.hpp>

namespace zu::audio
{
class IAudioDriver;
}

namespace zu::lua
{

class CLuaAudioLibrary
{
  public:
    static constexpr float kMaxGain = 1000.f;
    static constexpr float kMaxPitch = 1000.f;
    static constexpr float kMaxCoordinate = 1.0e9f;

    explicit CLuaAudioLibrary(audio::IAudioDriver* driver);
    ~CLuaAudioLibrary();
    CLuaAudioLibrary(const CLuaAudioLibrary&) = delete;
    CLuaAudioLibrary& operator=(const CLuaAudioLibrary&) = delete;

    // Registers the table `audio` in the state.
    void install(lua_State* L);

    // The driver of the current library, or null.
    static audio::IAudioDriver* getDriver();

  private:
    audio::IAudioDriver* m_driver;
};

} // namespace zu::lua
