#include "lua/CLuaAudioLibrary.h"

#include "audio/IAudioDriver.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zu::lua
{
namespace
{

using audio::IAudioDriver;
using audio::SVector3f;
using core::CString;

CLuaAudioLibrary* g_library = nullptr;

IAudioDriver* driver()
{
    return CLuaAudioLibrary::getDriver();
}

// The audio table's rule: nil and a missing argument take the default, a
// wrong type raises.
CLuaArgs arguments(lua_State* L) { return CLuaArgs(L, EAR_STRICT); }

// A gain, pitch or offset: NaN and negative values are 0, large ones `limit`.
float nonNegative(lua_Number value, float limit)
{
    if (!(value >= 0)) return 0.f;
    return std::min(toFloat(value), limit);
}

// A pan or coordinate: NaN is 0, the rest is cut to the coordinate limit.
float coordinate(lua_Number value)
{
    if (std::isnan(value)) return 0.f;
    return std::clamp(toFloat(value), -CLuaAudioLibrary::kMaxCoordinate,
                      CLuaAudioLibrary::kMaxCoordinate);
}

float gainArg(const CLuaArgs& a, int n)
{
    return nonNegative(a.number(n, 1.0), CLuaAudioLibrary::kMaxGain);
}

float pitchArg(const CLuaArgs& a, int n)
{
    return nonNegative(a.number(n, 1.0), CLuaAudioLibrary::kMaxPitch);
}

// Three coordinates starting at `first`, read only when the call passed at
// least first + 2 arguments; otherwise `fallback`.
SVector3f optVector(const CLuaArgs& a, int first, SVector3f fallback = SVector3f{})
{
    if (!a.given(first + 2)) return fallback;
    return SVector3f{coordinate(a.number(first, fallback.x)),
                     coordinate(a.number(first + 1, fallback.y)),
                     coordinate(a.number(first + 2, fallback.z))};
}

SVector3f vectorArg(const CLuaArgs& a, int first)
{
    return SVector3f{coordinate(a.number(first)), coordinate(a.number(first + 1)),
                     coordinate(a.number(first + 2))};
}

// audio.loadSound(name) -> nothing
// Decodes the sound now, so its first play does not wait for the file.
int a_loadSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    if (IAudioDriver* d = driver()) d->loadSound(name);
    return 0;
}

// audio.playSound(name [, gain [, pan [, pitch]]]) -> boolean
// Plays a one-shot effect: gain 1.0, pan -1 (left) to 1 (right), default 0,
// pitch 1.0. False when no source was free or the sound cannot be loaded.
int a_playSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool played = false;
    if (a.count() >= 1)
    {
        CString name = a.text(1);
        float gain = gainArg(a, 2);
        float pan = coordinate(a.number(3, 0.0));
        float pitch = pitchArg(a, 4);
        if (IAudioDriver* d = driver()) played = d->playSound(name, gain, pan, pitch);
    }
    lua_pushboolean(L, played);
    return 1;
}

// audio.playOrientedSound(name [, gain [, pitch [, x, y, z [, vx, vy, vz]]]]) -> boolean
// A one-shot effect placed in the world at x, y, z, moving with vx, vy, vz,
// heard from the listener's position.
int a_playOrientedSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool played = false;
    if (a.count() >= 1)
    {
        CString name = a.text(1);
        float gain = gainArg(a, 2);
        float pitch = pitchArg(a, 3);
        SVector3f position = optVector(a, 4);
        SVector3f velocity = optVector(a, 7);
        if (IAudioDriver* d = driver())
            played = d->playOrientedSound(name, gain, pitch, position, velocity);
    }
    lua_pushboolean(L, played);
    return 1;
}

// audio.startTrackedSound(name [, gain [, pitch [, x, y, z [, vx, vy, vz [, offset]]]]]) -> id
// Starts a placed sound that the script keeps moving with
// updateTrackedSound, from offset seconds in. The id is 1 or more; -1 when it
// could not start, -2 for a negative gain, pitch or offset.
int a_startTrackedSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1)
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    CString name = a.text(1);
    lua_Number gain = a.number(2, 1.0);
    lua_Number pitch = a.number(3, 1.0);
    SVector3f position = optVector(a, 4);
    SVector3f velocity = optVector(a, 7);
    lua_Number offset = a.number(10, 0.0);
    // NaN fails these tests as well as negative values do.
    if (!(gain >= 0) || !(pitch >= 0) || !(offset >= 0))
    {
        lua_pushinteger(L, -2);
        return 1;
    }
    int32_t id = -1;
    if (IAudioDriver* d = driver())
        id = d->startTrackedSound(name, nonNegative(gain, CLuaAudioLibrary::kMaxGain),
                                  nonNegative(pitch, CLuaAudioLibrary::kMaxPitch), position,
                                  velocity, toFloat(offset));
    lua_pushinteger(L, id);
    return 1;
}

// audio.updateTrackedSound(id [, gain [, pitch [, x, y, z [, vx, vy, vz]]]]) -> seconds | nil
// Moves a tracked sound and sets its gain and pitch (negative values count
// as 0). Returns its play position in seconds, 0 once it has ended or for an
// unknown id.
int a_updateTrackedSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    int32_t id = a.int32(1);
    float gain = gainArg(a, 2);
    float pitch = pitchArg(a, 3);
    SVector3f position = optVector(a, 4);
    SVector3f velocity = optVector(a, 7);
    float seconds = 0.f;
    if (IAudioDriver* d = driver())
        seconds = d->updateTrackedSound(id, gain, pitch, position, velocity);
    lua_pushnumber(L, seconds);
    return 1;
}

// audio.stopTrackedSound(id) -> nothing
int a_stopTrackedSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    int32_t id = a.int32(1);
    if (IAudioDriver* d = driver()) d->stopTrackedSound(id);
    return 0;
}

// audio.playLoopSound(name [, gain [, pan [, pitch [, offset]]]]) -> nothing
// Starts a sound that loops until stopLoopSound; called again for a playing
// loop it only changes gain, pan and pitch.
int a_playLoopSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    float gain = gainArg(a, 2);
    float pan = coordinate(a.number(3, 0.0));
    float pitch = pitchArg(a, 4);
    // An infinite offset stays infinite here; the driver starts it at 0.
    float offset = nonNegative(a.number(5, 0.0), HUGE_VALF);
    if (IAudioDriver* d = driver()) d->playLoopSound(name, gain, pan, pitch, offset);
    return 0;
}

// audio.stopLoopSound(name) -> nothing
int a_stopLoopSound(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    if (IAudioDriver* d = driver()) d->stopLoopSound(name);
    return 0;
}

// audio.playMusic(name [, gain [, loop]]) -> nothing
// Streams an Ogg Vorbis file as music; several pieces may play at once.
int a_playMusic(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    float gain = gainArg(a, 2);
    bool loop = a.flag(3);
    if (IAudioDriver* d = driver()) d->playMusic(name, gain, loop);
    return 0;
}

// audio.updateMusic(name, gain) -> boolean
// Sets the gain of playing music (for fades); false when it is not playing.
int a_updateMusic(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool updated = false;
    if (a.count() >= 2)
    {
        CString name = a.text(1);
        float gain = nonNegative(a.number(2), CLuaAudioLibrary::kMaxGain);
        if (IAudioDriver* d = driver()) updated = d->updateMusic(name, gain);
    }
    lua_pushboolean(L, updated);
    return 1;
}

// audio.stopMusic(name) -> nothing
int a_stopMusic(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    if (IAudioDriver* d = driver()) d->stopMusic(name);
    return 0;
}

// audio.stopAllMusic() -> nothing
int a_stopAllMusic(lua_State*)
{
    if (IAudioDriver* d = driver()) d->stopAllMusic();
    return 0;
}

// audio.playVoice(name [, interrupt]) -> nothing
// Plays a sound on the voice line, replacing the current voice; with
// interrupt false it does nothing while a voice is still playing.
int a_playVoice(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    CString name = a.text(1);
    IAudioDriver* d = driver();
    if (!d) return 0;
    bool interrupt = a.missing(2) || a.flag(2);
    if (!interrupt && d->isVoicePlaying()) return 0;
    d->playVoice(name);
    return 0;
}

// audio.setSoundListenerPosition(x, y, z [, vx, vy, vz]) -> nothing
int a_setSoundListenerPosition(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 3) return 0;
    SVector3f position = vectorArg(a, 1);
    SVector3f velocity = optVector(a, 4);
    if (IAudioDriver* d = driver()) d->setListenerPosition(position, velocity);
    return 0;
}

// audio.setSoundListenerOrientation(atX, atY, atZ, upX, upY, upZ) -> nothing
// The direction the listener faces and its up direction.
int a_setSoundListenerOrientation(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 6) return 0;
    SVector3f at = vectorArg(a, 1);
    SVector3f up = vectorArg(a, 4);
    if (IAudioDriver* d = driver()) d->setListenerOrientation(at, up);
    return 0;
}

// audio.setGlobalPitch(pitch) -> nothing
// Multiplies the pitch of every sound (slow motion, say); music too when
// setMusicHasGlobalPitch(true).
int a_setGlobalPitch(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    lua_Number pitch = a.number(1);
    if (std::isnan(pitch)) return 0;
    if (IAudioDriver* d = driver())
        d->setGlobalPitch(nonNegative(pitch, CLuaAudioLibrary::kMaxPitch));
    return 0;
}

// audio.setMasterVolume(volume) -> nothing
// The volume of everything the game plays, from 0 (silent) to 1 (full, the
// default); values outside are cut to that range and NaN is ignored.
int a_setMasterVolume(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    lua_Number volume = a.number(1);
    if (std::isnan(volume)) return 0;
    if (IAudioDriver* d = driver()) d->setMasterVolume(nonNegative(volume, 1.f));
    return 0;
}

// audio.getMasterVolume() -> volume
// 1 without a sound driver.
int a_getMasterVolume(lua_State* L)
{
    IAudioDriver* d = driver();
    lua_pushnumber(L, d ? d->getMasterVolume() : 1.0);
    return 1;
}

// audio.setMusicHasGlobalPitch(flag) -> nothing
int a_setMusicHasGlobalPitch(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    bool on = a.flag(1);
    if (IAudioDriver* d = driver()) d->setMusicHasGlobalPitch(on);
    return 0;
}

// audio.setGlobalRolloffFactor(factor) -> nothing
// How fast placed sounds fade with distance.
int a_setGlobalRolloffFactor(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    lua_Number factor = a.number(1);
    if (std::isnan(factor)) return 0;
    if (IAudioDriver* d = driver())
        d->setGlobalRolloffFactor(nonNegative(factor, CLuaAudioLibrary::kMaxCoordinate));
    return 0;
}

// audio.setOpenAlDistanceModel(model) -> nothing
// 1 inverse, 2 inverse clamped, 3 linear, 4 linear clamped, 5 exponent,
// 6 exponent clamped; anything else turns distance fading off.
int a_setOpenAlDistanceModel(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    int32_t model = a.int32(1);
    if (IAudioDriver* d = driver()) d->setDistanceModel(model);
    return 0;
}

// audio.setOrientedSoundCone(inner, outer [, dx, dy, dz]) -> nothing
// The cone (angles in degrees, 0 to 360) and direction given to oriented
// sounds started afterwards; the direction defaults to 0, 0, -1.
int a_setOrientedSoundCone(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 2) return 0;
    int32_t inner = int32_t(a.integerIn(1, 0, 360));
    int32_t outer = int32_t(a.integerIn(2, 0, 360));
    SVector3f direction = optVector(a, 3, SVector3f{0.f, 0.f, -1.f});
    if (IAudioDriver* d = driver()) d->setOrientedSoundCone(inner, outer, direction);
    return 0;
}

// audio.setSoundPriority(value) -> nothing
// The priority of sounds started afterwards: when every source is busy, a
// sound of higher priority takes the source of the lowest.
int a_setSoundPriority(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    float value = coordinate(a.number(1));
    if (IAudioDriver* d = driver()) d->setSoundPriority(value);
    return 0;
}

// audio.getSoundDuration(name) -> seconds | nil
// 0 when the sound cannot be loaded.
int a_getSoundDuration(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    CString name = a.text(1);
    float seconds = 0.f;
    if (IAudioDriver* d = driver()) seconds = d->getSoundDuration(name);
    lua_pushnumber(L, seconds);
    return 1;
}

const luaL_Reg kFunctions[] = {
    {"loadSound", a_loadSound},
    {"playSound", a_playSound},
    {"playOrientedSound", a_playOrientedSound},
    {"startTrackedSound", a_startTrackedSound},
    {"updateTrackedSound", a_updateTrackedSound},
    {"stopTrackedSound", a_stopTrackedSound},
    {"playLoopSound", a_playLoopSound},
    {"stopLoopSound", a_stopLoopSound},
    {"playMusic", a_playMusic},
    {"updateMusic", a_updateMusic},
    {"stopMusic", a_stopMusic},
    {"stopAllMusic", a_stopAllMusic},
    {"playVoice", a_playVoice},
    {"setSoundListenerPosition", a_setSoundListenerPosition},
    {"setSoundListenerOrientation", a_setSoundListenerOrientation},
    {"setGlobalPitch", a_setGlobalPitch},
    {"setMasterVolume", a_setMasterVolume},
    {"getMasterVolume", a_getMasterVolume},
    {"setMusicHasGlobalPitch", a_setMusicHasGlobalPitch},
    {"setGlobalRolloffFactor", a_setGlobalRolloffFactor},
    {"setOpenAlDistanceModel", a_setOpenAlDistanceModel},
    {"setOrientedSoundCone", a_setOrientedSoundCone},
    {"setSoundPriority", a_setSoundPriority},
    {"getSoundDuration", a_getSoundDuration},
    {nullptr, nullptr},
};

} // namespace

CLuaAudioLibrary::CLuaAudioLibrary(audio::IAudioDriver* driver) : m_driver(driver)
{
    if (m_driver) m_driver->grab();
    g_library = this;
}

CLuaAudioLibrary::~CLuaAudioLibrary()
{
    if (g_library == this) g_library = nullptr;
    if (m_driver) m_driver->drop();
}

void CLuaAudioLibrary::install(lua_State* L) { installTable(L, "audio", kFunctions); }

audio::IAudioDriver* CLuaAudioLibrary::getDriver()
{
    return g_library ? g_library->m_driver : nullptr;
}

} // namespace zu::lua
