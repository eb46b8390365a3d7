#include "lua/luaCpp/CLuaVideoLibrary.h"

#include "core/CMatrix4.h"
#include "core/Output.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "lua/CLuaWChar.h"
#include "lua/luaCpp/LuaClassBinder.h"
#include "other/IKelvoDevice.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/RenderState.h"

#include <algorithm>
#include <cmath>

namespace zu::lua
{
namespace
{

using core::CString;
using core::SDimension2i;
using video::ISpriteAnimationState;
using video::ISpritePackage;
using video::ITexture;
using video::IVideoDriver;
using video::SPosition2i;
using video::SRecti;
using video::SVector2f;

CLuaVideoLibrary* g_library = nullptr;

IVideoDriver* driver() { return g_library ? g_library->getDriver() : nullptr; }

// Plain conversions: anything that is not a number reads as 0.
int32_t integer(lua_State* L, int index) { return toInt32(lua_tonumber(L, index)); }

// A position or length in render pixels. Far beyond any screen, so sums of
// two stay inside 32 bits whatever a script passes.
int32_t coordinate(lua_State* L, int index)
{
    constexpr int32_t limit = 1 << 24;
    return std::clamp(integer(L, index), -limit, limit);
}

float number(lua_State* L, int index) { return toFloat(lua_tonumber(L, index)); }

CString text(lua_State* L, int index)
{
    size_t length = 0;
    const char* s = lua_tolstring(L, index, &length);
    return s ? CString(s, length) : CString();
}

uint32_t channel(lua_State* L, int index) { return uint32_t(integer(L, index)) & 0xFF; }

uint32_t argb(lua_State* L, int first)
{
    return channel(L, first) << 24 | channel(L, first + 1) << 16 | channel(L, first + 2) << 8 |
           channel(L, first + 3);
}

// White; white with the alpha at `first` when the call reaches it; a, r, g,
// b from `first` when it reaches all four.
uint32_t colour(lua_State* L, int argc, int first)
{
    if (argc >= first + 3)
        return argb(L, first);
    if (argc >= first)
        return channel(L, first) << 24 | 0xFFFFFF;
    return 0xFFFFFFFF;
}

ISpriteAnimationState* state(lua_State* L)
{
    if (!g_library || lua_type(L, 1) != LUA_TNUMBER)
        return nullptr;
    return g_library->getState(toInteger(lua_tonumber(L, 1)));
}

CString packagePath(lua_State* L, int index)
{
    return getScriptRelativePath(L, index, g_library->getPathOverrides());
}

// ---------------------------------------------------------------- sprite states

int makeState(lua_State* L, bool keepStates)
{
    if (!g_library || g_library->isInRender() || lua_gettop(L) < 2 || !driver())
        return -1;
    const CString path = packagePath(L, 2);
    if (path.size() <= 4)
        return -1;
    ISpritePackage* package = driver()->getSpritePackage(path, keepStates, true);
    if (!package)
        return -1;
    ISpriteAnimationState* created = nullptr;
    if (lua_type(L, 1) == LUA_TNUMBER)
        created = package->createState(integer(L, 1));
    else if (lua_type(L, 1) == LUA_TSTRING)
        created = package->createState(text(L, 1));
    if (!created)
        return -1;
    return g_library->addState(created);
}

int v_createSpriteState(lua_State* L)
{
    lua_pushinteger(L, makeState(L, true));
    return 1;
}

int v_isSpriteStateAvailable(lua_State* L)
{
    lua_pushboolean(L, makeState(L, false) >= 0);
    return 1;
}

int v_removeSpriteState(lua_State* L)
{
    if (g_library && !g_library->isInRender() && lua_gettop(L) >= 1)
        g_library->removeState(toInteger(lua_tonumber(L, 1)));
    return 0;
}

int v_getSpriteStateNames(lua_State* L)
{
    if (lua_gettop(L) < 1 || !g_library || !driver())
        return 0;
    const CString path = packagePath(L, 1);
    if (path.size() <= 4)
        return 0;
    ISpritePackage* package = driver()->getSpritePackage(path, true, true);
    if (!package)
        return 0;
    const bool filtered = lua_gettop(L) >= 2;
    const CString filter = filtered ? text(L, 2) : CString();
    lua_newtable(L);
    int key = 1;
    for (const CString& name : package->getAnimationNames())
    {
        if (filtered && name.find(filter) == CString::npos)
            continue;
        lua_pushlstring(L, name.c_str(), name.size());
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

int v_getSpriteStateTexture(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    // A frame without a texture has no name to give.
    ITexture* texture = s ? s->getTexture(s->getFrame()) : nullptr;
    if (!texture)
    {
        lua_pushnil(L);
        return 1;
    }
    lua_pushstring(L, texture->getName().c_str());
    return 1;
}

int v_updateSpriteState(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    lua_pushboolean(L, s && lua_gettop(L) >= 2 && s->update(number(L, 2)));
    return 1;
}

int v_resetSpriteState(lua_State* L)
{
    if (ISpriteAnimationState* s = state(L))
        s->reset();
    return 0;
}

int pushPair(lua_State* L, int32_t a, int32_t b)
{
    lua_pushinteger(L, a);
    lua_pushinteger(L, b);
    return 2;
}

int v_getSpriteStateSize(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    return s ? pushPair(L, s->getSize(0).width, s->getSize(0).height) : 0;
}

int v_getSpriteStateOriginalSize(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    return s ? pushPair(L, s->getOriginalSize(0).width, s->getOriginalSize(0).height) : 0;
}

int v_getSpriteStateHotspot(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    return s ? pushPair(L, -s->getOffset(0).x, -s->getOffset(0).y) : 0;
}

int v_getSpriteStateOriginalHotspot(lua_State* L)
{
    ISpriteAnimationState* s = state(L);
    return s ? pushPair(L, -s->getOriginalOffset(0).x, -s->getOriginalOffset(0).y) : 0;
}

// Frame 0 mirrored left to right about the origin column, turned by `angle`
// and scaled, as a free shape.
void drawMirroredShape(ISpriteAnimationState* s, float x, float y, float angle, float scale,
                       const uint32_t colors[4])
{
    const SPosition2i offset = s->getOffset(0);
    const SDimension2i size = s->getSize(0);
    const float c = std::cos(angle) * scale;
    const float sn = std::sin(angle) * scale;
    auto place = [&](float u, float v) { return SVector2f{x + u * c - v * sn, y + u * sn + v * c}; };
    const float fx = float(offset.x), fy = float(offset.y);
    const float w = float(size.width), h = float(size.height);
    s->drawFreeShape(place(1 - fx, fy), place(1 - fx - w, fy), place(1 - fx, fy + h),
                     place(1 - fx - w, fy + h), colors);
}

int v_renderSpriteState(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 3 || !s)
        return 0;
    const float x = number(L, 2), y = number(L, 3);
    const float scale = n >= 4 ? number(L, 4) : 1.f;
    const float rotation = n >= 5 ? number(L, 5) : 0.f;
    const uint32_t c = colour(L, n, 6);
    const uint32_t colors[4] = {c, c, c, c};
    if (n >= 10 && lua_toboolean(L, 10))
        drawMirroredShape(s, x, y, rotation, scale, colors);
    else
        s->drawRotated({x, y}, rotation, scale, colors);
    return 0;
}

int v_renderSpriteState4Colors(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 22 || !s)
        return 0;
    const float x = number(L, 2), y = number(L, 3);
    const float scale = number(L, 4), rotation = number(L, 5);
    // Top-left, bottom-left, bottom-right, top-right.
    const uint32_t colors[4] = {argb(L, 7), argb(L, 11), argb(L, 15), argb(L, 19)};
    if (lua_toboolean(L, 6))
        drawMirroredShape(s, x, y, rotation, scale, colors);
    else
        s->drawRotated({x, y}, rotation, scale, colors);
    return 0;
}

int v_renderSpriteStateFixed(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 3 || !s)
        return 0;
    const uint32_t c = colour(L, n, 4);
    SRecti clip;
    if (n >= 11)
    {
        const int32_t cx = coordinate(L, 8), cy = coordinate(L, 9);
        clip = {cx, cy, cx + coordinate(L, 10), cy + coordinate(L, 11)};
    }
    s->drawAt({coordinate(L, 2), coordinate(L, 3)}, n >= 11 ? &clip : nullptr, c);
    return 0;
}

int v_renderSpriteStateFreeShape(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 9 || !s)
        return 0;
    const uint32_t c = colour(L, n, 10);
    const uint32_t colors[4] = {c, c, c, c};
    s->drawFreeShape({number(L, 2), number(L, 3)}, {number(L, 4), number(L, 5)},
                     {number(L, 6), number(L, 7)}, {number(L, 8), number(L, 9)}, colors);
    return 0;
}

int v_renderSpriteStateFay(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 3 || !s)
        return 0;
    const float scale = n >= 4 ? number(L, 4) : 1.f;
    const float rotation = n >= 5 ? number(L, 5) : 0.f;
    const uint32_t c = colour(L, n, 6);
    const uint32_t colors[4] = {c, c, c, c};
    drawMirroredShape(s, number(L, 2), number(L, 3), 4.712389f - rotation, scale, colors);
    return 0;
}

int v_renderSpriteState3d(lua_State* L)
{
    const int n = lua_gettop(L);
    ISpriteAnimationState* s = state(L);
    if (n < 3 || !s)
        return 0;
    const float z = n >= 4 ? number(L, 4) : 0.f;
    const float angle = n >= 5 ? number(L, 5) : 1.f;
    const float scale = n >= 6 ? number(L, 6) : 1.f;
    const bool mirror = n >= 7 && lua_toboolean(L, 7);
    s->draw3D({number(L, 2), number(L, 3), z}, angle, scale, mirror, colour(L, n, 8));
    return 0;
}

// ---------------------------------------------------------------- primitives, textures, text

int v_renderLine(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 4 || !driver())
        return 0;
    driver()->drawLine({coordinate(L, 1), coordinate(L, 2)}, {coordinate(L, 3), coordinate(L, 4)},
                       colour(L, n, 5));
    return 0;
}

int v_renderRectangle(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 4 || !driver())
        return 0;
    const int32_t x = coordinate(L, 1), y = coordinate(L, 2);
    const SRecti rect{x, y, x + coordinate(L, 3), y + coordinate(L, 4)};
    driver()->drawRectangle(colour(L, n, 5), rect, nullptr);
    return 0;
}

int v_render2dTexture(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 5 || !driver())
        return 0;
    ITexture* texture = driver()->getTexture(text(L, 1));
    if (!texture)
        return 0;
    const float x = number(L, 2), y = number(L, 3), w = number(L, 4), h = number(L, 5);
    const uint32_t c = colour(L, n, 6);
    const uint32_t colors[4] = {c, c, c, c};
    const SDimension2i size = texture->getSize();
    driver()->drawImageQuad(texture, {x, y}, {x + w, y}, {x, y + h}, {x + w, y + h},
                            {0, 0, size.width, size.height}, colors, true, true);
    return 0;
}

int v_getTextureSize(lua_State* L)
{
    if (lua_gettop(L) < 1 || !driver())
        return 0;
    ITexture* texture = driver()->getTexture(text(L, 1));
    return texture ? pushPair(L, texture->getSize().width, texture->getSize().height) : 0;
}

// The named font (argument `index` when it is a string, else the default
// one), else the skin's, else none.
gui::IGUIFont* font(lua_State* L, int index)
{
    if (!g_library)
        return nullptr;
    if (index > 0 && lua_type(L, index) == LUA_TSTRING)
        return g_library->getFont(getScriptRelativePath(L, index, g_library->getPathOverrides()));
    static const CString defaultFont(CLuaVideoLibrary::DEFAULT_FONT);
    return g_library->getFont(defaultFont);
}

int v_renderText(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 1)
        return 0;
    const CString message = lua_isstring(L, 1) ? text(L, 1)
                                               : LuaClassBinder<CLuaWChar>::check(L, 1)->getText();
    const int32_t x = n >= 3 ? coordinate(L, 2) : 0;
    const int32_t y = n >= 3 ? coordinate(L, 3) : 0;
    const int32_t align = n >= 4 ? integer(L, 4) : 0;
    gui::IGUIFont* f = font(L, n >= 5 ? 5 : 0);
    if (!f)
        return 0;
    const uint32_t c = n >= 9 ? argb(L, 6) : 0xFFFFFFFF;
    // Drawn from its top-left corner; only a centred or right-aligned text
    // needs its width first.
    int32_t left = x;
    if (align == 1 || align == 2)
    {
        const int32_t width = f->getDimension(message).width;
        left -= align == 1 ? width / 2 : width;
    }
    f->draw(message, {left, y, left, y}, c);
    return 0;
}

int v_getTextSize(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 1)
        return pushPair(L, 0, 0);
    gui::IGUIFont* f = font(L, n >= 2 ? 2 : 0);
    if (!f)
        return pushPair(L, 0, 0);
    const SDimension2i size = f->getDimension(text(L, 1));
    return pushPair(L, size.width, size.height);
}

// ---------------------------------------------------------------- screen, clipping, targets

int v_getScreenSize(lua_State* L)
{
    if (!driver())
        return pushPair(L, 0, 0);
    const SDimension2i size = driver()->getScreenSize();
    return pushPair(L, size.width, size.height);
}

int v_setScreenSize(lua_State* L)
{
    // The window keeps the screen's size in full-screen mode.
    if (lua_gettop(L) != 2 || !g_library || !g_library->getDevice() || !driver() ||
        driver()->isFullscreen())
        return 0;
    const int32_t w = integer(L, 1), h = integer(L, 2);
    if (w > 0 && h > 0)
        g_library->getDevice()->setWindowSize({w, h});
    return 0;
}

int v_setRenderScreenSize(lua_State* L)
{
    if (!driver())
        return 0;
    if (lua_gettop(L) != 2)
    {
        driver()->setRenderScreenSize(-1, -1);
        return 0;
    }
    const int32_t w = integer(L, 1), h = integer(L, 2);
    if (w > 0 && h > 0)
        driver()->setRenderScreenSize(w, h);
    return 0;
}

int v_setScissorClip(lua_State* L)
{
    if (lua_gettop(L) < 4 || !driver())
        return 0;
    const SRecti rect{coordinate(L, 1), coordinate(L, 2), coordinate(L, 3), coordinate(L, 4)};
    driver()->setScissor(&rect);
    return 0;
}

int v_clearScissorClip(lua_State*)
{
    if (driver())
        driver()->setScissor(nullptr);
    return 0;
}

int v_setForcePointSampling(lua_State* L)
{
    if (lua_gettop(L) >= 1 && driver())
        driver()->setForcePointSampling(lua_toboolean(L, 1) != 0);
    return 0;
}

int v_clearScreen(lua_State* L)
{
    const int n = lua_gettop(L);
    if (!driver())
        return 0;
    const uint32_t r = n >= 1 ? channel(L, 1) : 0;
    const uint32_t g = n >= 2 ? channel(L, 2) : 0;
    const uint32_t b = n >= 3 ? channel(L, 3) : 0;
    const uint32_t a = n >= 4 ? channel(L, 4) : 1;
    driver()->clearScreen(n >= 4 && lua_toboolean(L, 4), a << 24 | r << 16 | g << 8 | b);
    return 0;
}

int v_destroyRenderTarget(lua_State* L)
{
    if (lua_gettop(L) >= 1 && driver())
        driver()->removeTexture(text(L, 1));
    return 0;
}

int v_createRenderTarget(lua_State* L)
{
    const int n = lua_gettop(L);
    if (n < 1 || !driver())
        return 0;
    const CString name = text(L, 1);
    if (driver()->findTexture(name))
        driver()->removeTexture(name);
    SDimension2i size = driver()->getRenderSize();
    if (n >= 3)
        size = {integer(L, 2), integer(L, 3)};
    const video::ECOLOR_FORMAT format =
        (n >= 4 && lua_toboolean(L, 4)) ? video::ECF_A8R8G8B8 : video::ECF_R8G8B8;
    driver()->addTexture(size, name, format, true);
    return 0;
}

int v_setActiveRenderTarget(lua_State* L)
{
    if (lua_gettop(L) < 1 || !driver())
        return pushPair(L, 0, 0);
    ITexture* target = nullptr;
    SDimension2i size{0, 0};
    if (lua_isnil(L, 1))
        size = driver()->getRenderSize();
    else if (lua_type(L, 1) == LUA_TSTRING)
    {
        // Targets are always cached; a name that is not one is not looked for on disk.
        target = driver()->findTexture(text(L, 1));
        if (!target)
            return pushPair(L, 0, 0);
        size = target->getSize();
    }
    else
        return pushPair(L, 0, 0);
    if (size.width != 0 && size.height != 0)
        driver()->setRenderTarget(target);
    return pushPair(L, size.width, size.height);
}

// ---------------------------------------------------------------- meshes

int v_renderMesh(lua_State* L)
{
    void* data = luaL_checkudata(L, 1, "zu.video.mesh");
    video::Mesh* mesh = *static_cast<video::Mesh**>(data);
    if (!ZU_CHECK(mesh) || !driver())
        return 0;
    video::RenderState renderState;
    renderState.mesh = mesh;
    const int n = lua_gettop(L);
    int stage = 0;
    std::vector<lua_Number> numbers;
    for (int i = 2; i <= n; ++i)
    {
        if (lua_type(L, i) == LUA_TNUMBER)
            numbers.push_back(lua_tonumber(L, i));
        else if (stage < video::MATERIAL_MAX_TEXTURES)
            renderState.stages[stage++].texture = driver()->getTexture(text(L, i));
    }
    core::CMatrix4 world;
    if (numbers.size() >= 2)
    {
        core::CMatrix4 move;
        move(3, 0) = toFloat(numbers[0]);
        move(3, 1) = toFloat(numbers[1]);
        world = world * move;
    }
    if (numbers.size() >= 3)
    {
        const float radians = toFloat(numbers[2]) * 0.0055555557f * 3.14159265f;
        core::CMatrix4 turn;
        turn(0, 0) = std::cos(radians);
        turn(0, 1) = std::sin(radians);
        turn(1, 0) = -std::sin(radians);
        turn(1, 1) = std::cos(radians);
        world = world * turn;
    }
    if (numbers.size() >= 5)
    {
        core::CMatrix4 scale;
        scale(0, 0) = toFloat(numbers[3]);
        scale(1, 1) = toFloat(numbers[4]);
        world = world * scale;
    }
    // What is batched so far was drawn before this mesh.
    driver()->flush2D();
    driver()->prepare2DStates(true, true, true, true);
    driver()->setTransform(video::ETS_WORLD, world);
    driver()->drawRenderState(renderState);
    return 0;
}

const luaL_Reg kFunctions[] = {
    {"createSpriteState", v_createSpriteState},
    {"isSpriteStateAvailable", v_isSpriteStateAvailable},
    {"removeSpriteState", v_removeSpriteState},
    {"getSpriteStateNames", v_getSpriteStateNames},
    {"getSpriteStateTexture", v_getSpriteStateTexture},
    {"updateSpriteState", v_updateSpriteState},
    {"resetSpriteState", v_resetSpriteState},
    {"getSpriteStateSize", v_getSpriteStateSize},
    {"getSpriteStateOriginalSize", v_getSpriteStateOriginalSize},
    {"getSpriteStateHotspot", v_getSpriteStateHotspot},
    {"getSpriteStateOriginalHotspot", v_getSpriteStateOriginalHotspot},
    {"renderSpriteState", v_renderSpriteState},
    {"renderSpriteState4Colors", v_renderSpriteState4Colors},
    {"renderSpriteStateFixed", v_renderSpriteStateFixed},
    {"renderSpriteStateFreeShape", v_renderSpriteStateFreeShape},
    {"renderSpriteStateFay", v_renderSpriteStateFay},
    {"renderSpriteState3d", v_renderSpriteState3d},
    {"renderLine", v_renderLine},
    {"renderRectangle", v_renderRectangle},
    {"render2dTexture", v_render2dTexture},
    {"getTextureSize", v_getTextureSize},
    {"renderText", v_renderText},
    {"getTextSize", v_getTextSize},
    {"getScreenSize", v_getScreenSize},
    {"setScreenSize", v_setScreenSize},
    {"setRenderScreenSize", v_setRenderScreenSize},
    {"setScissorClip", v_setScissorClip},
    {"clearScissorClip", v_clearScissorClip},
    {"setForcePointSampling", v_setForcePointSampling},
    {"clearScreen", v_clearScreen},
    {"createRenderTarget", v_createRenderTarget},
    {"setActiveRenderTarget", v_setActiveRenderTarget},
    {"destroyRenderTarget", v_destroyRenderTarget},
    {"renderMesh", v_renderMesh},
    {nullptr, nullptr},
};

} // namespace

CLuaVideoLibrary::CLuaVideoLibrary(video::IVideoDriver* driver, gui::IGUIEnvironment* gui,
                                   IKelvoDevice* device, PathOverrides overrides)
    : m_driver(driver), m_gui(gui), m_device(device), m_pathOverrides(std::move(overrides))
{
    g_library = this;
}

CLuaVideoLibrary::~CLuaVideoLibrary()
{
    for (video::ISpriteAnimationState* s : m_states)
        if (s)
            s->release();
    m_states.clear();
    if (g_library == this)
        g_library = nullptr;
}

gui::IGUIFont* CLuaVideoLibrary::getFont(const core::CString& path)
{
    if (!m_gui)
        return nullptr;
    if (m_missingFonts.count(path) == 0)
    {
        if (gui::IGUIFont* named = m_gui->getFont(path))
            return named;
        m_missingFonts.insert(path);
    }
    gui::IGUISkin* skin = m_gui->getSkin();
    return skin ? skin->getFont() : nullptr;
}

void CLuaVideoLibrary::install(lua_State* L)
{
    lua_newtable(L);
    for (const luaL_Reg* f = kFunctions; f->name; ++f)
    {
        lua_pushcfunction(L, f->func);
        lua_setfield(L, -2, f->name);
    }
    lua_setglobal(L, "video");
}

int32_t CLuaVideoLibrary::addState(video::ISpriteAnimationState* s)
{
    const int32_t count = int32_t(m_states.size());
    if (m_firstFree < count)
    {
        const int32_t slot = m_firstFree;
        m_states[size_t(slot)] = s;
        while (m_firstFree < count && m_states[size_t(m_firstFree)])
            ++m_firstFree;
        return slot;
    }
    m_states.push_back(s);
    m_firstFree = int32_t(m_states.size());
    return count;
}

video::ISpriteAnimationState* CLuaVideoLibrary::getState(int64_t slot) const
{
    if (slot < 0 || slot >= int64_t(m_states.size()))
        return nullptr;
    return m_states[size_t(slot)];
}

void CLuaVideoLibrary::removeState(int64_t slot)
{
    video::ISpriteAnimationState* s = getState(slot);
    if (!s)
        return;
    s->release();
    m_states[size_t(slot)] = nullptr;
    m_firstFree = std::min(m_firstFree, int32_t(slot));
}

} // namespace zu::lua
