// CLuaParticleLibrary: the script table `particles`: loads particle packages
// with the sprite packages their pictures come from, spawns effects by
// definition name, advances and draws every live particle in one call each,
// answers the particles' surface questions through a script function and
// plays their sounds through the audio driver at their positions.
//
// The particles live in one CParticleHost the library owns; a restart of the
// script makes a new library, so Ctrl+R clears every live particle. The
// packages stay in the driver's cache. Arguments are read strictly: a value
// of the wrong type raises the runtime's argument error.
#pragma once

#include "lua/luaCpp/LuaHelpers.h"
#include "video/null/CParticleHost.h"

#include <lua.hpp>

namespace zu::audio
{
class IAudioDriver;
}

namespace zu::video
{
class IParticlePackage;
class IVideoDriver;
} // namespace zu::video

namespace zu::lua
{

class CLuaParticleLibrary
{
  public:
    // Either driver may be null: loading then fails, or particles are silent.
    CLuaParticleLibrary(video::IVideoDriver* driver, audio::IAudioDriver* audio,
                        PathOverrides overrides = PathOverrides());
    ~CLuaParticleLibrary();
    CLuaParticleLibrary(const CLuaParticleLibrary&) = delete;
    CLuaParticleLibrary& operator=(const CLuaParticleLibrary&) = delete;

    // Registers the table `particles` in the state.
    void install(lua_State* L);

    kelvo::video::CParticleHost& getHost() { return m_host; }
    video::IVideoDriver* getDriver() const { return m_driver; }
    const PathOverrides& getPathOverrides() const { return m_pathOverrides; }

    // Decodes the package's sounds now, so their first play does not wait.
    void preloadSounds(video::IParticlePackage* package);
    // The script's surface function: the value at `index`, or none for nil.
    void setSurfaceFunction(lua_State* L, int index);
    // Advances the particles; surface questions are asked in L. Returns
    // false with the error in `error` when the surface function failed.
    bool update(lua_State* L, float seconds, core::CString& error);

  private:
    core::CString askSurface(const video::SVector3f& position);

    video::IVideoDriver* m_driver;
    audio::IAudioDriver* m_audio;
    PathOverrides m_pathOverrides;
    kelvo::video::CParticleHost m_host;
    lua_State* m_state = nullptr;
    int m_surfaceRef = LUA_NOREF;
    // Set while update runs: where surface questions go, and what failed.
    lua_State* m_callState = nullptr;
    core::CString m_surfaceError;
    bool m_surfaceFailed = false;
};

} // namespace zu::lua
