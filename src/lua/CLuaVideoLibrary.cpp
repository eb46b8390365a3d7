#include "lua/CLuaVideoLibrary.h"

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

// The video table's rule: the runtime's plain conversions, nothing raises; a
// missing argument reads as 0, "" or false, and nil converts like any value.
CLuaArgs arguments(lua_State* L) { return CLuaArgs(L, EAR_PLAIN); }

// A position or length in render pixels. Far beyond any screen, so sums of
// two stay inside 32 bits whatever a script passes.
int32_t coordinate(const CLuaArgs& a, int n)
{
    constexpr int32_t limit = 1 << 24;
    return int32_t(a.integerIn(n, -limit, limit));
}

ISpriteAnimationState* state(const CLuaArgs& a)
{
    if (!g_library || !a.isNumber(1))
        return nullptr;
    return g_library->getState(a.integer(1));
}

CString packagePath(const CLuaArgs& a, int n)
{
    return getScriptRelativePath(a, n, g_library->getPathOverrides());
}

int pushPair(lua_State* L, int32_t a, int32_t b)
{
    lua_pushinteger(L, a);
    lua_pushinteger(L, b);
    return 2;
}

// ---------------------------------------------------------------- sprite states

int makeState(const CLuaArgs& a, bool keepStates)
{
    if (!g_library || g_library->isInRender() || a.count() < 2 || !driver())
        return -1;
    const CString path = packagePath(a, 2);
    if (path.size() <= 4)
        return -1;
    ISpritePackage* package = driver()->getSpritePackage(path, keepStates, true);
    if (!package)
        return -1;
    ISpriteAnimationState* created = nullptr;
    if (a.isNumber(1))
        created = package->createState(a.int32(1));
    else if (a.isText(1))
        created = package->createState(a.text(1));
    if (!created)
        return -1;
    return g_library->addState(created);
}

// video.createSpriteState(animation, packagePath) -> slot
// Loads the sprite package (relative to the calling script) if needed and
// makes an animation state of the animation (its name, or its number) in a
// new slot. -1 when the package or animation is missing, and always inside
// frameRender.
int v_createSpriteState(lua_State* L)
{
    lua_pushinteger(L, makeState(arguments(L), true));
    return 1;
}

// video.isSpriteStateAvailable(animation, packagePath) -> boolean
// Whether createSpriteState would succeed; the state it makes stays in a slot.
int v_isSpriteStateAvailable(lua_State* L)
{
    lua_pushboolean(L, makeState(arguments(L), false) >= 0);
    return 1;
}

// video.removeSpriteState(slot) -> nothing
// Frees the slot for the next state made; ignored inside frameRender.
int v_removeSpriteState(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (g_library && !g_library->isInRender() && a.count() >= 1)
        g_library->removeState(a.integer(1));
    return 0;
}

// video.getSpriteStateNames(packagePath [, filter]) -> names | nil
// The animation names of a package in file order, only those containing the
// filter text when one is given; nil when the package cannot be loaded.
int v_getSpriteStateNames(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !g_library || !driver())
        return 0;
    const CString path = packagePath(a, 1);
    if (path.size() <= 4)
        return 0;
    ISpritePackage* package = driver()->getSpritePackage(path, true, true);
    if (!package)
        return 0;
    const bool filtered = a.count() >= 2;
    const CString filter = filtered ? a.text(2) : CString();
    lua_newtable(L);
    int key = 1;
    for (const CString& name : package->getAnimationNames())
    {
        if (filtered && name.find(filter) == CString::npos)
            continue;
        pushText(L, name);
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

// video.getSpriteStateTexture(slot) -> textureName | nil
// The name of the texture page of the state's current frame, usable wherever
// a texture name is taken.
int v_getSpriteStateTexture(lua_State* L)
{
    ISpriteAnimationState* s = state(arguments(L));
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

// video.updateSpriteState(slot, seconds) -> boolean
// Advances the animation by the frame time; true when the frame changed.
int v_updateSpriteState(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    lua_pushboolean(L, s && a.count() >= 2 && s->update(a.toFloat(2)));
    return 1;
}

// video.resetSpriteState(slot) -> nothing
// Back to the animation's first frame.
int v_resetSpriteState(lua_State* L)
{
    if (ISpriteAnimationState* s = state(arguments(L)))
        s->reset();
    return 0;
}

// video.getSpriteStateSize(slot) -> w, h
// The size of the first frame as drawn (transparent borders trimmed).
int v_getSpriteStateSize(lua_State* L)
{
    ISpriteAnimationState* s = state(arguments(L));
    return s ? pushPair(L, s->getSize(0).width, s->getSize(0).height) : 0;
}

// video.getSpriteStateOriginalSize(slot) -> w, h
// The size of the first frame's picture before trimming.
int v_getSpriteStateOriginalSize(lua_State* L)
{
    ISpriteAnimationState* s = state(arguments(L));
    return s ? pushPair(L, s->getOriginalSize(0).width, s->getOriginalSize(0).height) : 0;
}

// video.getSpriteStateHotspot(slot) -> x, y
// The first frame's hotspot (the pixel drawn at the state's position).
int v_getSpriteStateHotspot(lua_State* L)
{
    ISpriteAnimationState* s = state(arguments(L));
    return s ? pushPair(L, -s->getOffset(0).x, -s->getOffset(0).y) : 0;
}

// video.getSpriteStateOriginalHotspot(slot) -> x, y
// The hotspot in the picture before trimming.
int v_getSpriteStateOriginalHotspot(lua_State* L)
{
    ISpriteAnimationState* s = state(arguments(L));
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

// video.renderSpriteState(slot, x, y [, scale [, rotation [, a [, r, g, b [, mirror]]]]]) -> nothing
// Draws the current frame with its hotspot at x, y, scaled, turned by
// rotation (radians) and tinted; with only a, white at that alpha. mirror
// flips it left to right.
int v_renderSpriteState(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 3 || !s)
        return 0;
    const float x = a.toFloat(2), y = a.toFloat(3);
    const float scale = a.toFloat(4, 1.f);
    const float rotation = a.toFloat(5, 0.f);
    const uint32_t c = a.colour(6);
    const uint32_t colors[4] = {c, c, c, c};
    if (a.flag(10))
        drawMirroredShape(s, x, y, rotation, scale, colors);
    else
        s->drawRotated({x, y}, rotation, scale, colors);
    return 0;
}

// video.renderSpriteState4Colors(slot, x, y, scale, rotation, mirror, a1, r1, g1, b1, a2, r2, g2, b2, a3, r3, g3, b3, a4, r4, g4, b4) -> nothing
// renderSpriteState with a colour per corner: top-left, bottom-left,
// bottom-right, top-right. All 22 arguments are needed.
int v_renderSpriteState4Colors(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 22 || !s)
        return 0;
    const float x = a.toFloat(2), y = a.toFloat(3);
    const float scale = a.toFloat(4), rotation = a.toFloat(5);
    // Top-left, bottom-left, bottom-right, top-right.
    const uint32_t colors[4] = {a.argb(7), a.argb(11), a.argb(15), a.argb(19)};
    if (a.flag(6))
        drawMirroredShape(s, x, y, rotation, scale, colors);
    else
        s->drawRotated({x, y}, rotation, scale, colors);
    return 0;
}

// video.renderSpriteStateFixed(slot, x, y [, a [, r, g, b [, clipX, clipY, clipW, clipH]]]) -> nothing
// Draws the current frame unscaled at whole pixels x, y, optionally clipped
// to a rectangle.
int v_renderSpriteStateFixed(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 3 || !s)
        return 0;
    const uint32_t c = a.colour(4);
    SRecti clip;
    const bool clipped = a.given(11);
    if (clipped)
    {
        const int32_t cx = coordinate(a, 8), cy = coordinate(a, 9);
        clip = {cx, cy, cx + coordinate(a, 10), cy + coordinate(a, 11)};
    }
    s->drawAt({coordinate(a, 2), coordinate(a, 3)}, clipped ? &clip : nullptr, c);
    return 0;
}

// video.renderSpriteStateFreeShape(slot, x1, y1, x2, y2, x3, y3, x4, y4 [, a [, r, g, b]]) -> nothing
// Stretches the current frame over four corners: top-left, top-right,
// bottom-left, bottom-right.
int v_renderSpriteStateFreeShape(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 9 || !s)
        return 0;
    const uint32_t c = a.colour(10);
    const uint32_t colors[4] = {c, c, c, c};
    s->drawFreeShape({a.toFloat(2), a.toFloat(3)}, {a.toFloat(4), a.toFloat(5)},
                     {a.toFloat(6), a.toFloat(7)}, {a.toFloat(8), a.toFloat(9)}, colors);
    return 0;
}

// video.renderSpriteStateFay(slot, x, y [, scale [, rotation [, a [, r, g, b]]]]) -> nothing
// The first frame mirrored and turned by three quarter turns minus rotation.
int v_renderSpriteStateFay(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 3 || !s)
        return 0;
    const float scale = a.toFloat(4, 1.f);
    const float rotation = a.toFloat(5, 0.f);
    const uint32_t c = a.colour(6);
    const uint32_t colors[4] = {c, c, c, c};
    drawMirroredShape(s, a.toFloat(2), a.toFloat(3), 4.712389f - rotation, scale, colors);
    return 0;
}

// video.renderSpriteState3d(slot, x, y [, z [, angle [, scale [, mirror [, a [, r, g, b]]]]]]) -> nothing
// Draws the current frame as a flat quad in the 3D scene at x, y, z.
int v_renderSpriteState3d(lua_State* L)
{
    CLuaArgs a = arguments(L);
    ISpriteAnimationState* s = state(a);
    if (a.count() < 3 || !s)
        return 0;
    const float z = a.toFloat(4, 0.f);
    const float angle = a.toFloat(5, 1.f);
    const float scale = a.toFloat(6, 1.f);
    const bool mirror = a.flag(7);
    s->draw3D({a.toFloat(2), a.toFloat(3), z}, angle, scale, mirror, a.colour(8));
    return 0;
}

// ---------------------------------------------------------------- primitives, textures, text

// video.renderLine(x1, y1, x2, y2 [, a [, r, g, b]]) -> nothing
int v_renderLine(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 4 || !driver())
        return 0;
    driver()->drawLine({coordinate(a, 1), coordinate(a, 2)}, {coordinate(a, 3), coordinate(a, 4)},
                       a.colour(5));
    return 0;
}

// video.renderRectangle(x, y, w, h [, a [, r, g, b]]) -> nothing
// A filled rectangle; with only a, white at that alpha.
int v_renderRectangle(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 4 || !driver())
        return 0;
    const int32_t x = coordinate(a, 1), y = coordinate(a, 2);
    const SRecti rect{x, y, x + coordinate(a, 3), y + coordinate(a, 4)};
    driver()->drawRectangle(a.colour(5), rect, nullptr);
    return 0;
}

// video.render2dTexture(textureName, x, y, w, h [, a [, r, g, b]]) -> nothing
// Draws a whole texture stretched over the rectangle. textureName is an
// image file path (aliases allowed, not relative to the script), a render
// target's name, or a name from getSpriteStateTexture.
int v_render2dTexture(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 5 || !driver())
        return 0;
    ITexture* texture = driver()->getTexture(a.text(1));
    if (!texture)
        return 0;
    const float x = a.toFloat(2), y = a.toFloat(3), w = a.toFloat(4), h = a.toFloat(5);
    const uint32_t c = a.colour(6);
    const uint32_t colors[4] = {c, c, c, c};
    const SDimension2i size = texture->getSize();
    driver()->drawImageQuad(texture, {x, y}, {x + w, y}, {x, y + h}, {x + w, y + h},
                            {0, 0, size.width, size.height}, colors, true, true);
    return 0;
}

// video.getTextureSize(textureName) -> w, h
// Nothing when the texture cannot be loaded.
int v_getTextureSize(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver())
        return 0;
    ITexture* texture = driver()->getTexture(a.text(1));
    return texture ? pushPair(L, texture->getSize().width, texture->getSize().height) : 0;
}

// The font named by text argument n (relative to the calling script), else
// the default one, else the skin's, else none.
gui::IGUIFont* font(const CLuaArgs& a, int n)
{
    if (!g_library)
        return nullptr;
    if (a.isText(n))
        return g_library->getFont(getScriptRelativePath(a, n, g_library->getPathOverrides()));
    static const CString defaultFont(CLuaVideoLibrary::DEFAULT_FONT);
    return g_library->getFont(defaultFont);
}

// video.renderText(text [, x, y [, align [, fontPath [, a, r, g, b]]]]) -> nothing
// Draws text (a string or a WChar) with its top-left corner at x, y; align 1
// centres it on x, 2 ends it at x. "#0" to "#9" in the text switch colour
// with sprite-package fonts. The font is the file fontPath (relative to the
// calling script), else "$GAME_RESOURCES$/pellora/font.fnt", else the
// built-in one.
int v_renderText(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1)
        return 0;
    const CString message = a.isText(1) || a.isNumber(1)
                                ? a.text(1)
                                : LuaClassBinder<CLuaWChar>::check(a, 1)->getText();
    const bool placed = a.given(3);
    const int32_t x = placed ? coordinate(a, 2) : 0;
    const int32_t y = placed ? coordinate(a, 3) : 0;
    const int32_t align = a.int32(4);
    gui::IGUIFont* f = font(a, 5);
    if (!f)
        return 0;
    const uint32_t c = a.given(9) ? a.argb(6) : 0xFFFFFFFF;
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

// video.getTextSize(text [, fontPath]) -> w, h
// The size renderText would give the text; 0, 0 without a font.
int v_getTextSize(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1)
        return pushPair(L, 0, 0);
    gui::IGUIFont* f = font(a, 2);
    if (!f)
        return pushPair(L, 0, 0);
    const SDimension2i size = f->getDimension(a.text(1));
    return pushPair(L, size.width, size.height);
}

// ---------------------------------------------------------------- screen, clipping, targets

// video.getScreenSize() -> w, h
// The window's size in pixels.
int v_getScreenSize(lua_State* L)
{
    if (!driver())
        return pushPair(L, 0, 0);
    const SDimension2i size = driver()->getScreenSize();
    return pushPair(L, size.width, size.height);
}

// video.setScreenSize(w, h) -> nothing
// Resizes the window; ignored in full-screen mode.
int v_setScreenSize(lua_State* L)
{
    CLuaArgs a = arguments(L);
    // The window keeps the screen's size in full-screen mode.
    if (a.count() != 2 || !g_library || !g_library->getDevice() || !driver() ||
        driver()->isFullscreen())
        return 0;
    const int32_t w = a.int32(1), h = a.int32(2);
    if (w > 0 && h > 0)
        g_library->getDevice()->setWindowSize({w, h});
    return 0;
}

// video.setRenderScreenSize([w, h]) -> nothing
// Draws in a fixed virtual resolution of w x h pixels scaled to the window;
// without arguments back to the window's own size.
int v_setRenderScreenSize(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (!driver())
        return 0;
    if (a.count() != 2)
    {
        driver()->setRenderScreenSize(-1, -1);
        return 0;
    }
    const int32_t w = a.int32(1), h = a.int32(2);
    if (w > 0 && h > 0)
        driver()->setRenderScreenSize(w, h);
    return 0;
}

// video.setScissorClip(left, top, right, bottom) -> nothing
// Only pixels inside the rectangle are drawn until clearScissorClip.
int v_setScissorClip(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 4 || !driver())
        return 0;
    const SRecti rect{coordinate(a, 1), coordinate(a, 2), coordinate(a, 3), coordinate(a, 4)};
    driver()->setScissor(&rect);
    return 0;
}

// video.clearScissorClip() -> nothing
int v_clearScissorClip(lua_State*)
{
    if (driver())
        driver()->setScissor(nullptr);
    return 0;
}

// video.setForcePointSampling(on) -> nothing
// Draws textures without smoothing (crisp pixel art) while on.
int v_setForcePointSampling(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 1 && driver())
        driver()->setForcePointSampling(a.flag(1));
    return 0;
}

// video.clearScreen([r [, g [, b [, clearDepth]]]]) -> nothing
// Fills the screen (or the active render target) with the colour, black by
// default; a fourth argument that is true also clears the depth buffer.
int v_clearScreen(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (!driver())
        return 0;
    const uint32_t r = a.given(1) ? a.channel(1) : 0;
    const uint32_t g = a.given(2) ? a.channel(2) : 0;
    const uint32_t b = a.given(3) ? a.channel(3) : 0;
    const uint32_t alpha = a.given(4) ? a.channel(4) : 1;
    driver()->clearScreen(a.flag(4), alpha << 24 | r << 16 | g << 8 | b);
    return 0;
}

// video.destroyRenderTarget(name) -> nothing
int v_destroyRenderTarget(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 1 && driver())
        driver()->removeTexture(a.text(1));
    return 0;
}

// video.createRenderTarget(name [, w, h [, withAlpha]]) -> nothing
// A texture to draw into, of the render size unless w, h are given; draw it
// afterwards like any texture, by its name.
int v_createRenderTarget(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver())
        return 0;
    const CString name = a.text(1);
    if (driver()->findTexture(name))
        driver()->removeTexture(name);
    SDimension2i size = driver()->getRenderSize();
    if (a.given(3))
        size = {a.int32(2), a.int32(3)};
    const video::ECOLOR_FORMAT format = a.flag(4) ? video::ECF_A8R8G8B8 : video::ECF_R8G8B8;
    driver()->addTexture(size, name, format, true);
    return 0;
}

// video.setActiveRenderTarget([name]) -> w, h
// Draws into the render target from now on; nil draws to the screen again.
// Returns the size drawn into, or 0, 0 (and changes nothing) for a name that
// is not a render target.
int v_setActiveRenderTarget(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver())
        return pushPair(L, 0, 0);
    ITexture* target = nullptr;
    SDimension2i size{0, 0};
    if (a.type(1) == LUA_TNIL)
        size = driver()->getRenderSize();
    else if (a.isText(1))
    {
        // Targets are always cached; a name that is not one is not looked for on disk.
        target = driver()->findTexture(a.text(1));
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

// video.renderMesh(mesh [, textureName ...] [, x, y [, degrees [, sx, sy]]]) -> nothing
// Draws a mesh made by createMesh in 2D, scaled, turned (degrees, about its
// origin) and moved by x, y pixels, with the named textures on its stages in
// order.
int v_renderMesh(lua_State* L)
{
    CLuaArgs a = arguments(L);
    video::Mesh** data = static_cast<video::Mesh**>(lua_touserdata(L, a.index(1)));
    bool isMesh = false;
    if (data && lua_getmetatable(L, a.index(1)))
    {
        luaL_getmetatable(L, "zu.video.mesh");
        isMesh = lua_rawequal(L, -1, -2) != 0;
        lua_pop(L, 2);
    }
    if (!isMesh)
        a.typeError(1, "zu.video.mesh");
    video::Mesh* mesh = *data;
    if (!ZU_CHECK(mesh) || !driver())
        return 0;
    video::RenderState renderState;
    renderState.mesh = mesh;
    int stage = 0;
    std::vector<lua_Number> numbers;
    for (int n = 2; n <= a.count(); ++n)
    {
        if (a.isNumber(n))
            numbers.push_back(a.number(n));
        else if (stage < video::MATERIAL_MAX_TEXTURES)
            renderState.stages[stage++].texture = driver()->getTexture(a.text(n));
    }
    core::CMatrix4 world;
    if (numbers.size() >= 2)
    {
        core::CMatrix4 move;
        move(3, 0) = toFloat(numbers[0]);
        move(3, 1) = toFloat(numbers[1]);
        world = move * world;
    }
    if (numbers.size() >= 3)
    {
        const float radians = toFloat(numbers[2]) * 0.0055555557f * 3.14159265f;
        core::CMatrix4 turn;
        turn(0, 0) = std::cos(radians);
        turn(0, 1) = std::sin(radians);
        turn(1, 0) = -std::sin(radians);
        turn(1, 1) = std::cos(radians);
        world = turn * world;
    }
    if (numbers.size() >= 5)
    {
        core::CMatrix4 scale;
        scale(0, 0) = toFloat(numbers[3]);
        scale(1, 1) = toFloat(numbers[4]);
        world = scale * world;
    }
    driver()->draw2DMesh(renderState, world);
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
    init3D(device);
}

CLuaVideoLibrary::~CLuaVideoLibrary()
{
    for (video::ISpriteAnimationState* s : m_states)
        if (s)
            s->release();
    m_states.clear();
    release3D();
    if (g_library == this)
        g_library = nullptr;
}

CLuaVideoLibrary* CLuaVideoLibrary::get() { return g_library; }

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
    installTable(L, "video", kFunctions);
    install3D(L);
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
