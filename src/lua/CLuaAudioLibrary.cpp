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

CString checkName(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    return CString(text, length);
}

lua_Number optNumber(lua_State* L, int index, lua_Number fallback)
{
    return luaL_optnumber(L, index, fallback);
}

// Three coordinates starting at `first`, read only when the call passed at
// least first + 2 arguments; otherwise `fallback`.
SVector3f optVector(lua_State* L, int first, SVector3f fallback = SVector3f{})
{
    if (lua_gettop(L) < first + 2) return fallback;
    return SVector3f{coordinate(optNumber(L, first, fallback.x)),
                     coordinate(optNumber(L, first + 1, fallback.y)),
                     coordinate(optNumber(L, first + 2, fallback.z))};
}

SVector3f checkVector(lua_State* L, int first)
{
    return SVector3f{coordinate(luaL_checknumber(L, first)),
                     coordinate(luaL_checknumber(L, first + 1)),
                     coordinate(luaL_checknumber(L, first + 2))};
}

int a_loadSound(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    if (IAudioDriver* d = driver()) d->loadSound(name);
    return 0;
}

int a_playSound(lua_State* L)
{
    bool played = false;
    if (lua_gettop(L) >= 1)
    {
        CString name = checkName(L, 1);
        float gain = nonNegative(optNumber(L, 2, 1.0), CLuaAudioLibrary::kMaxGain);
        float pan = coordinate(optNumber(L, 3, 0.0));
        float pitch = nonNegative(optNumber(L, 4, 1.0), CLuaAudioLibrary::kMaxPitch);
        if (IAudioDriver* d = driver()) played = d->playSound(name, gain, pan, pitch);
    }
    lua_pushboolean(L, played);
    return 1;
}

int a_playOrientedSound(lua_State* L)
{
    bool played = false;
    if (lua_gettop(L) >= 1)
    {
        CString name = checkName(L, 1);
        float gain = nonNegative(optNumber(L, 2, 1.0), CLuaAudioLibrary::kMaxGain);
        float pitch = nonNegative(optNumber(L, 3, 1.0), CLuaAudioLibrary::kMaxPitch);
        SVector3f position = optVector(L, 4);
        SVector3f velocity = optVector(L, 7);
        if (IAudioDriver* d = driver())
            played = d->playOrientedSound(name, gain, pitch, position, velocity);
    }
    lua_pushboolean(L, played);
    return 1;
}

int a_startTrackedSound(lua_State* L)
{
    if (lua_gettop(L) < 1)
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    CString name = checkName(L, 1);
    lua_Number gain = optNumber(L, 2, 1.0);
    lua_Number pitch = optNumber(L, 3, 1.0);
    SVector3f position = optVector(L, 4);
    SVector3f velocity = optVector(L, 7);
    lua_Number offset = lua_gettop(L) >= 10 ? optNumber(L, 10, 0.0) : 0.0;
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

int a_updateTrackedSound(lua_State* L)
{
    if (lua_gettop(L) < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    int32_t id = int32_t(std::clamp<int64_t>(checkInteger(L, 1), INT32_MIN, INT32_MAX));
    float gain = nonNegative(optNumber(L, 2, 1.0), CLuaAudioLibrary::kMaxGain);
    float pitch = nonNegative(optNumber(L, 3, 1.0), CLuaAudioLibrary::kMaxPitch);
    SVector3f position = optVector(L, 4);
    SVector3f velocity = optVector(L, 7);
    float seconds = 0.f;
    if (IAudioDriver* d = driver())
        seconds = d->updateTrackedSound(id, gain, pitch, position, velocity);
    lua_pushnumber(L, seconds);
    return 1;
}

int a_stopTrackedSound(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    int32_t id = int32_t(std::clamp<int64_t>(checkInteger(L, 1), INT32_MIN, INT32_MAX));
    if (IAudioDriver* d = driver()) d->stopTrackedSound(id);
    return 0;
}

int a_playLoopSound(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    float gain = nonNegative(optNumber(L, 2, 1.0), CLuaAudioLibrary::kMaxGain);
    float pan = coordinate(optNumber(L, 3, 0.0));
    float pitch = nonNegative(optNumber(L, 4, 1.0), CLuaAudioLibrary::kMaxPitch);
    // An infinite offset stays infinite here; the driver starts it at 0.
    float offset = nonNegative(optNumber(L, 5, 0.0), HUGE_VALF);
    if (IAudioDriver* d = driver()) d->playLoopSound(name, gain, pan, pitch, offset);
    return 0;
}

int a_stopLoopSound(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    if (IAudioDriver* d = driver()) d->stopLoopSound(name);
    return 0;
}

int a_playMusic(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    float gain = nonNegative(optNumber(L, 2, 1.0), CLuaAudioLibrary::kMaxGain);
    bool loop = lua_toboolean(L, 3) != 0;
    if (IAudioDriver* d = driver()) d->playMusic(name, gain, loop);
    return 0;
}

int a_updateMusic(lua_State* L)
{
    bool updated = false;
    if (lua_gettop(L) >= 2)
    {
        CString name = checkName(L, 1);
        float gain = nonNegative(luaL_checknumber(L, 2), CLuaAudioLibrary::kMaxGain);
        if (IAudioDriver* d = driver()) updated = d->updateMusic(name, gain);
    }
    lua_pushboolean(L, updated);
    return 1;
}

int a_stopMusic(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    if (IAudioDriver* d = driver()) d->stopMusic(name);
    return 0;
}

int a_stopAllMusic(lua_State*)
{
    if (IAudioDriver* d = driver()) d->stopAllMusic();
    return 0;
}

int a_playVoice(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    CString name = checkName(L, 1);
    IAudioDriver* d = driver();
    if (!d) return 0;
    bool interrupt = lua_isnoneornil(L, 2) || lua_toboolean(L, 2);
    if (!interrupt && d->isVoicePlaying()) return 0;
    d->playVoice(name);
    return 0;
}

int a_setSoundListenerPosition(lua_State* L)
{
    if (lua_gettop(L) < 3) return 0;
    SVector3f position = checkVector(L, 1);
    SVector3f velocity = optVector(L, 4);
    if (IAudioDriver* d = driver()) d->setListenerPosition(position, velocity);
    return 0;
}

int a_setSoundListenerOrientation(lua_State* L)
{
    if (lua_gettop(L) < 6) return 0;
    SVector3f at = checkVector(L, 1);
    SVector3f up = checkVector(L, 4);
    if (IAudioDriver* d = driver()) d->setListenerOrientation(at, up);
    return 0;
}

int a_setGlobalPitch(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    lua_Number pitch = luaL_checknumber(L, 1);
    if (std::isnan(pitch)) return 0;
    if (IAudioDriver* d = driver())
        d->setGlobalPitch(nonNegative(pitch, CLuaAudioLibrary::kMaxPitch));
    return 0;
}

int a_setMusicHasGlobalPitch(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    bool on = lua_toboolean(L, 1) != 0;
    if (IAudioDriver* d = driver()) d->setMusicHasGlobalPitch(on);
    return 0;
}

int a_setGlobalRolloffFactor(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    lua_Number factor = luaL_checknumber(L, 1);
    if (std::isnan(factor)) return 0;
    if (IAudioDriver* d = driver())
        d->setGlobalRolloffFactor(nonNegative(factor, CLuaAudioLibrary::kMaxCoordinate));
    return 0;
}

int a_setOpenAlDistanceModel(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    int32_t model = int32_t(std::clamp<int64_t>(checkInteger(L, 1), INT32_MIN, INT32_MAX));
    if (IAudioDriver* d = driver()) d->setDistanceModel(model);
    return 0;
}

int a_setOrientedSoundCone(lua_State* L)
{
    if (lua_gettop(L) < 2) return 0;
    auto angle = [](int64_t value)
    { return static_cast<int32_t>(std::clamp<int64_t>(value, 0, 360)); };
    int32_t inner = angle(checkInteger(L, 1));
    int32_t outer = angle(checkInteger(L, 2));
    SVector3f direction = optVector(L, 3, SVector3f{0.f, 0.f, -1.f});
    if (IAudioDriver* d = driver()) d->setOrientedSoundCone(inner, outer, direction);
    return 0;
}

int a_setSoundPriority(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    float value = coordinate(luaL_checknumber(L, 1));
    if (IAudioDriver* d = driver()) d->setSoundPriority(value);
    return 0;
}

int a_getSoundDuration(lua_State* L)
{
    if (lua_gettop(L) < 1)
    {
        lua_pushnil(L);
        return 1;
    }
    CString name = checkName(L, 1);
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

void CLuaAudioLibrary::install(lua_State* L)
{
    lua_newtable(L);
    for (const luaL_Reg* f = kFunctions; f->name; ++f)
    {
        lua_pushcfunction(L, f->func);
        lua_setfield(L, -2, f->name);
    }
    lua_setglobal(L, "audio");
}

audio::IAudioDriver* CLuaAudioLibrary::getDriver()
{
    return g_library ? g_library->m_driver : nullptr;
}

} // namespace zu::lua
