// CLuaVideoLibrary: the script table `video` for 2D drawing: sprite states in
// numbered slots and their draw variants, lines, rectangles, whole textures,
// text, screen and render sizes, scissor, point sampling, clearing, render
// targets, and renderMesh. Materials, shaders, post-processing passes, 3D
// drawing, the camera and scene nodes are in CLuaVideoLibrary3D.cpp. Each
// function reads its arguments by position with
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
namespace scene
{
class ICameraSceneNode;
class ISceneManager;
class ISceneNode;
} // namespace scene
} // namespace zu

namespace zu::lua
{

class CLuaShaderConstants;

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

    // The library while it exists (the table's functions find it here).
    static CLuaVideoLibrary* get();

    // The 3D scene the camera and node functions act on (the device's, when
    // it has one). Setting one adds a camera at the origin looking along +z
    // and makes it the active camera.
    void setSceneManager(scene::ISceneManager* scene);
    scene::ISceneManager* getSceneManager() const { return m_scene; }
    scene::ICameraSceneNode* getCamera() const { return m_camera; }
    // Nodes by their script handle, the order they were made in.
    int32_t addSceneNode(scene::ISceneNode* node);
    scene::ISceneNode* getSceneNode(int64_t index) const;
    int32_t getSceneNodeCount() const { return int32_t(m_sceneNodes.size()); }
    // The constants callback of the script's shader materials.
    CLuaShaderConstants* getShaderConstants() const { return m_shaderConstants; }

private:
    // The material and 3D side (CLuaVideoLibrary3D.cpp).
    void init3D(IKelvoDevice* device);
    void release3D();
    static void install3D(lua_State* L);

    video::IVideoDriver* m_driver;
    gui::IGUIEnvironment* m_gui;
    IKelvoDevice* m_device;
    PathOverrides m_pathOverrides;
    bool m_inRender = false;
    std::vector<video::ISpriteAnimationState*> m_states;
    int32_t m_firstFree = 0;
    std::set<core::CString> m_missingFonts;
    scene::ISceneManager* m_scene = nullptr;
    scene::ICameraSceneNode* m_camera = nullptr;
    std::vector<scene::ISceneNode*> m_sceneNodes;
    CLuaShaderConstants* m_shaderConstants = nullptr;
};

} // namespace zu::lua
