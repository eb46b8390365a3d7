// CLuaVideoLibrary: the script table `video` for 2D drawing: sprite states in
// numbered slots and their draw variants, lines, rectangles, whole textures,
// text, screen and render sizes, scissor, point sampling, clearing, render
// targets, and renderMesh. Each function reads its arguments by position with
// the runtime's plain conversions (a missing argument reads as 0, "" or
// false), checks only how many it got, calls the driver and pushes results.
// The engine classes it calls know nothing of scripts.
#pragma once

#include "core/CString.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cstdint>
#include <set>
#include <vector>

#include <lua.hpp>

namespace zu
{
class IKelvoDevice;
namespace gui
{
class IGUIEnvironment;
class IGUIFont;
} // namespace gui
namespace video
{
class IVideoDriver;
class ISpriteAnimationState;
} // namespace video
} // namespace zu

namespace zu::lua
{

class CLuaVideoLibrary
{
public:
    // The font renderText and getTextSize use when the script names none.
    static constexpr const char* DEFAULT_FONT = "$GAME_RESOURCES$/pellora/font.fnt";

    // Draws with the driver and the GUI's fonts; the device resizes the window.
    // Any of them may be null: the functions that need it then do nothing.
    CLuaVideoLibrary(video::IVideoDriver* driver, gui::IGUIEnvironment* gui, IKelvoDevice* device,
                     PathOverrides overrides = PathOverrides());
    // Releases the states still in their slots, so a restart leaks nothing.
    ~CLuaVideoLibrary();
    CLuaVideoLibrary(const CLuaVideoLibrary&) = delete;
    CLuaVideoLibrary& operator=(const CLuaVideoLibrary&) = delete;

    // Registers the table `video` in the state.
    void install(lua_State* L);

    // Set by the script manager while frameRender runs: states are neither
    // made nor removed then.
    void setInRender(bool on) { m_inRender = on; }
    bool isInRender() const { return m_inRender; }

    IKelvoDevice* getDevice() const { return m_device; }
    video::IVideoDriver* getDriver() const { return m_driver; }
    gui::IGUIEnvironment* getGUIEnvironment() const { return m_gui; }
    const PathOverrides& getPathOverrides() const { return m_pathOverrides; }

    // Slots: a state goes into the lowest free one.
    int32_t addState(video::ISpriteAnimationState* state);
    // The state in a slot, or null for an empty or invalid slot.
    video::ISpriteAnimationState* getState(int64_t slot) const;
    void removeState(int64_t slot);
    int32_t getSlotCount() const { return int32_t(m_states.size()); }

    // The font of that file, or the skin's when it cannot be loaded. A file
    // that failed once is not tried again on every frame.
    gui::IGUIFont* getFont(const core::CString& path);

private:
    video::IVideoDriver* m_driver;
    gui::IGUIEnvironment* m_gui;
    IKelvoDevice* m_device;
    PathOverrides m_pathOverrides;
    bool m_inRender = false;
    std::vector<video::ISpriteAnimationState*> m_states;
    int32_t m_firstFree = 0;
    std::set<core::CString> m_missingFonts;
};

} // namespace zu::lua
