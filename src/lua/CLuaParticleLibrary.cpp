#include "lua/CLuaParticleLibrary.h"

#include "audio/IAudioDriver.h"
#include "video/IParticlePackage.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"
#include "video/null/CParticleRandom.h"

#include <cmath>

namespace zu::lua
{
namespace
{

using core::CString;
using kelvo::video::CParticleHost;
using video::IParticlePackage;
using video::SVector3f;

CLuaParticleLibrary* g_library = nullptr;

CLuaArgs arguments(lua_State* L)
{
    return CLuaArgs(L, EAR_STRICT);
}

// A position or velocity: NaN is 0, the rest stays within a range where
// sums of a few still mean something.
float coordinate(const CLuaArgs& a, int n, float fallback = 0.f)
{
    constexpr lua_Number limit = 1.0e9;
    const lua_Number value = a.number(n, fallback);
    if (std::isnan(value)) return 0.f;
    return float(value < -limit ? -limit : value > limit ? limit : value);
}

// The package a script's number names (numbers count from 1), or null.
IParticlePackage* package(const CLuaArgs& a, int n)
{
    return g_library ? g_library->getHost().getPackage(a.integer(n) - 1) : nullptr;
}

// particles.load(path, spritePath) -> package | nil
// Loads a particle package and the sprite package its particles are drawn
// from (both relative to the calling script) and returns the package's
// number for spawn. Loading a package again gives the same number and
// takes the new sprite package. nil, with a line in the log, when either
// file is missing or not a package of its kind.
int p_load(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    const CString path = getScriptRelativePath(a, 1, g_library->getPathOverrides());
    const CString spritePath = getScriptRelativePath(a, 2, g_library->getPathOverrides());
    video::IVideoDriver* driver = g_library->getDriver();
    video::ISpritePackage* sprites =
        driver ? driver->getSpritePackage(spritePath, false, true) : nullptr;
    IParticlePackage* loaded = sprites ? driver->getParticlePackage(path) : nullptr;
    if (!loaded)
    {
        lua_pushnil(L);
        return 1;
    }
    g_library->preloadSounds(loaded);
    lua_pushinteger(L, g_library->getHost().attach(loaded, sprites) + 1);
    return 1;
}

// particles.spawn(package, name, x, y [, vx, vy]) -> boolean
// Starts a particle of the named definition at x, y; vx, vy (pixels a
// second) are added to the start velocity its definition gives it. False
// for an unknown package or name, or when 32,768 particles live already.
int p_spawn(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    IParticlePackage* p = package(a, 1);
    const CString name = a.text(2);
    const SVector3f at = {coordinate(a, 3), coordinate(a, 4), 0.f};
    const SVector3f velocity = {coordinate(a, 5, 0.f), coordinate(a, 6, 0.f), 0.f};
    lua_pushboolean(L, p && g_library->getHost().spawn(p, name, at, velocity));
    return 1;
}

// particles.update(seconds) -> nothing
// Advances every live particle by the frame time: moves and ages them,
// emits their children, plays their sounds and lets those that die spawn
// what their death lists name. Call it once a frame in frameUpdate. An error
// in the surface function is raised from here.
int p_update(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    const float seconds = a.toFloat(1);
    CString error;
    if (!g_library->update(L, seconds, error))
    {
        lua_pushlstring(L, error.data(), error.size());
        return lua_error(L);
    }
    return 0;
}

// particles.render([scale]) -> nothing
// Draws every live particle in frameRender: first the shadows of those
// whose definition casts one, then the particles, oldest first, each at
// scale (default 1) times its definition's drawScale.
int p_render(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    g_library->getHost().draw(a.toFloat(1, 1.f));
    return 0;
}

// particles.getCount() -> count
// How many particles live now.
int p_getCount(lua_State* L)
{
    if (!g_library) return 0;
    lua_pushinteger(L, g_library->getHost().getCount());
    return 1;
}

// particles.clear() -> nothing
// Removes every live particle at once (nothing they would spawn on death).
int p_clear(lua_State*)
{
    if (!g_library) return 0;
    g_library->getHost().clear();
    return 0;
}

// particles.setSurfaceFunction([f]) -> nothing
// f(x, y) names the surface at a point where a particle dies ("@Water"; the
// case does not matter), or returns nil for none: the death list's sections
// of that name apply there. Without a function every particle dies on no
// surface.
int p_setSurfaceFunction(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    if (!a.missing(1) && a.type(1) != LUA_TFUNCTION) a.typeError(1, "function");
    g_library->setSurfaceFunction(L, a.missing(1) ? 0 : a.index(1));
    return 0;
}

// particles.getNames(package) -> names | nil
// The package's definition names in file order.
int p_getNames(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    IParticlePackage* p = package(a, 1);
    if (!p) return 0;
    lua_newtable(L);
    int key = 1;
    for (const CString& name : p->getDefinitionNames())
    {
        pushText(L, name);
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

// particles.isAvailable(package, name) -> boolean
// Whether the definition exists and its level is at most the detail level;
// children and death particles of other definitions are not made.
int p_isAvailable(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    IParticlePackage* p = package(a, 1);
    lua_pushboolean(L, p && p->isAvailable(a.text(2)));
    return 1;
}

// particles.setDetailLevel(level) -> nothing
// The detail level of every package, 2 at the start: a definition whose
// level is above it is never made as a child or on a death.
int p_setDetailLevel(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    g_library->getHost().setDetailLevel(a.int32(1));
    return 0;
}

// particles.setShadow(dx, dy [, alpha]) -> nothing
// Where shadows fall from their particles (3, 3 at the start) and how dark
// they are: alpha times the particle's (0.5 at the start).
int p_setShadow(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    g_library->getHost().setShadow(coordinate(a, 1), coordinate(a, 2), a.toFloat(3, 0.5f));
    return 0;
}

// particles.setGround([y]) -> nothing
// Particles falling across the line y bounce off it, as their definition's
// bounceFactor and maxBounces say; without y nothing bounces.
int p_setGround(lua_State* L)
{
    if (!g_library) return 0;
    CLuaArgs a = arguments(L);
    if (a.missing(1))
        g_library->getHost().removeGround();
    else
        g_library->getHost().setGround(coordinate(a, 1));
    return 0;
}

const luaL_Reg kFunctions[] = {
    {"load", p_load},
    {"spawn", p_spawn},
    {"update", p_update},
    {"render", p_render},
    {"getCount", p_getCount},
    {"clear", p_clear},
    {"setSurfaceFunction", p_setSurfaceFunction},
    {"getNames", p_getNames},
    {"isAvailable", p_isAvailable},
    {"setDetailLevel", p_setDetailLevel},
    {"setShadow", p_setShadow},
    {"setGround", p_setGround},
    {nullptr, nullptr},
};

} // namespace

CLuaParticleLibrary::CLuaParticleLibrary(video::IVideoDriver* driver, audio::IAudioDriver* audio,
                                         PathOverrides overrides)
    : m_driver(driver), m_audio(audio), m_pathOverrides(std::move(overrides))
{
    g_library = this;
    // Every run of a script sees the same random particles.
    kelvo::video::CParticleRandom::seed(kelvo::video::CParticleRandom::FIRST_SEED);
    m_host.setSurfaceQuery([this](const SVector3f& at) { return askSurface(at); });
    m_host.setSoundPlayer(
        [this](const CString& name, const SVector3f& at)
        {
            if (m_audio) m_audio->playOrientedSound(name, 1.f, 1.f, {at.x, at.y, at.z}, {});
        });
}

CLuaParticleLibrary::~CLuaParticleLibrary()
{
    // The script state is closed by now: its reference goes with it.
    m_host.clear();
    if (g_library == this) g_library = nullptr;
}

void CLuaParticleLibrary::install(lua_State* L)
{
    m_state = L;
    installTable(L, "particles", kFunctions);
}

void CLuaParticleLibrary::preloadSounds(IParticlePackage* package)
{
    if (!m_audio || !package) return;
    for (const CString& name : package->getSoundNames())
        m_audio->loadSound(name);
}

void CLuaParticleLibrary::setSurfaceFunction(lua_State* L, int index)
{
    if (m_surfaceRef != LUA_NOREF) luaL_unref(L, LUA_REGISTRYINDEX, m_surfaceRef);
    m_surfaceRef = LUA_NOREF;
    if (index == 0) return;
    lua_pushvalue(L, index);
    m_surfaceRef = luaL_ref(L, LUA_REGISTRYINDEX);
}

bool CLuaParticleLibrary::update(lua_State* L, float seconds, CString& error)
{
    m_callState = L;
    m_surfaceFailed = false;
    m_host.update(seconds);
    m_callState = nullptr;
    if (!m_surfaceFailed) return true;
    error = m_surfaceError;
    m_surfaceError = CString();
    return false;
}

CString CLuaParticleLibrary::askSurface(const SVector3f& position)
{
    // After a failure the rest of the update sees no surface; the error is
    // raised when it is done.
    lua_State* L = m_callState;
    if (!L || m_surfaceRef == LUA_NOREF || m_surfaceFailed) return CString();
    lua_rawgeti(L, LUA_REGISTRYINDEX, m_surfaceRef);
    lua_pushnumber(L, position.x);
    lua_pushnumber(L, position.y);
    if (lua_pcall(L, 2, 1, 0) != 0)
    {
        m_surfaceFailed = true;
        m_surfaceError = toCString(L, -1);
        if (m_surfaceError.empty()) m_surfaceError = "error in the surface function";
        lua_pop(L, 1);
        return CString();
    }
    const CString surface = lua_type(L, -1) == LUA_TSTRING ? toCString(L, -1) : CString();
    lua_pop(L, 1);
    return surface;
}

} // namespace zu::lua
