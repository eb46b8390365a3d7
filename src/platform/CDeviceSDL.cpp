#include "platform/CDeviceSDL.h"

#include "core/Output.h"
#include "core/Utf16.h"
#include "gui/IGUIEnvironment.h"
#include "io/IFileSystem.h"
#include "platform/CCursorControlSDL.h"
#include "platform/SDLKeyMap.h"
#include "scene/ISceneManager.h"
#include "video/IVideoDriver.h"
#include "video/OpenGL/CVideoOpenGL.h"
#include "video/null/CVideoNull.h"

#include <SDL.h>

#include <cstring>
#include <string>

namespace kelvo
{
namespace
{

using namespace zu::event;

constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_V = 0x56;

MouseAction buttonAction(uint8_t sdlButton, bool down)
{
    int button;
    switch (sdlButton)
    {
    case SDL_BUTTON_LEFT:
        button = 0;
        break;
    case SDL_BUTTON_RIGHT:
        button = 1;
        break;
    case SDL_BUTTON_MIDDLE:
        button = 2;
        break;
    case SDL_BUTTON_X1:
        button = 3;
        break;
    default:
        button = 4;
        break;
    }
    return static_cast<MouseAction>(down ? button : button + 5);
}

} // namespace

CDeviceSDL::CDeviceSDL(const zu::core::CString& applicationVersion,
                       const zu::core::CString& gameResources, zu::ITimer* timer)
    : CPlatformDevice(applicationVersion, gameResources, timer)
{

    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Could not start the window system: %s",
                        SDL_GetError());
        return;
    }
    m_ready = true;
}

CDeviceSDL::~CDeviceSDL()
{
    // The GUI's fonts hand textures and sprite states back to the driver,
    // and the scene's meshes are buffers of its context.
    zu::dropAndClear(m_guiEnvironment);
    zu::dropAndClear(m_sceneManager);
    zu::dropAndClear(m_videoDriver);
    m_cursorControl = nullptr;
    zu::dropAndClear(m_cursor);
    closeDevice();
    if (m_ready) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool CDeviceSDL::createWindow(zu::core::SDimension2i size, bool fullscreen, bool, bool vsync, int)
{
    if (!ZU_CHECK_MSG(m_driverType != zu::EDT_NONE, "No driver type set") || !m_ready) return false;
    if (m_driverType == zu::EDT_DIRECT3D9)
    {
        zu::core::zuLogText("Direct3D 9 is not available on this platform: using the OpenGL "
                            "driver instead",
                            zu::core::ELL_WARNING);
        m_driverType = zu::EDT_OPENGL;
    }
    m_fullscreenSize = size;
    m_clientSize = size;
    m_fullscreen = fullscreen;

    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (m_driverType != zu::EDT_NULL) flags |= SDL_WINDOW_OPENGL;
    m_window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width,
                                size.height, flags);
    if (!m_window)
    {
        reportGraphicsFailure(zu::core::CString("Could not create the window: ") + SDL_GetError());
        return false;
    }
    m_cursor = new CCursorControlSDL(m_window, size);
    m_cursorControl = m_cursor;

    if (m_driverType == zu::EDT_NULL)
        m_videoDriver = new video::CVideoNull(m_fileSystem, size);
    else
    {
        auto* driver = new video::CVideoOpenGL(
            m_fileSystem, [this] { return swapBuffers(); }, m_window, size, fullscreen, false,
            vsync);
        if (!driver->isValid())
        {
            // A driver without a context would fail on its first GL call.
            driver->drop();
            reportGraphicsFailure("Could not create an OpenGL context on the window. The "
                                  "graphics driver may not support OpenGL.");
            return false;
        }
        m_videoDriver = driver;
    }
    if (fullscreen) applyWindowMode(size, true);
    m_videoDriver->setTextureFlag(zu::video::ETCF_CREATE_MIP_MAPS, true);
    createGUIAndScene();
    SDL_StartTextInput();
    return m_videoDriver != nullptr;
}

void CDeviceSDL::reportGraphicsFailure(const zu::core::CString& reason)
{
    zu::core::zuLogText(reason.c_str(), zu::core::ELL_ERROR);
    // Without a display the box fails at once; the log line stays.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Pellora", reason.c_str(), m_window);
}

bool CDeviceSDL::showSettingsDialog(const std::vector<zu::core::CString>& languages, int iconId)
{
    if (!m_ready) return false;
    // Resolution: 32-bit modes at least 800 wide, offered as buttons.
    zu::IVideoModeList* modes = getVideoModeList();
    std::vector<std::string> labels;
    std::vector<zu::core::SDimension2i> sizes;
    for (int32_t i = 0; i < modes->getModeCount() && labels.size() < 8; ++i)
    {
        zu::core::SDimension2i s = modes->getModeResolution(i);
        if (modes->getModeDepth(i) != 32 || s.width < 800) continue;
        labels.push_back(std::to_string(s.width) + "x" + std::to_string(s.height));
        sizes.push_back(s);
    }
    if (sizes.empty())
    {
        labels.push_back("800x600");
        sizes.push_back({800, 600});
    }
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < labels.size(); ++i)
        buttons.push_back({i == 0 ? Uint32(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) : 0u,
                           static_cast<int>(i), labels[i].c_str()});
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, -1, "Cancel"});
    SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION,
                           nullptr,
                           "Device Settings",
                           "Choose a resolution",
                           static_cast<int>(buttons.size()),
                           buttons.data(),
                           nullptr};
    int choice = -1;
    if (SDL_ShowMessageBox(&box, &choice) != 0 || choice < 0)
    {
        zu::core::zuLogText("Cancel\n", zu::core::ELL_INFORMATION);
        return false;
    }
    zu::core::SDimension2i size = sizes[static_cast<size_t>(choice)];

    SDL_MessageBoxButtonData yesNo[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Fullscreen"},
                                        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Window"}};
    SDL_MessageBoxData modeBox{SDL_MESSAGEBOX_INFORMATION,
                               nullptr,
                               "Device Settings",
                               "Run full screen?",
                               2,
                               yesNo,
                               nullptr};
    int fullscreen = 1;
    SDL_ShowMessageBox(&modeBox, &fullscreen);

    m_selectedLanguage = 0;
    for (size_t i = 0; i < languages.size(); ++i)
        if (languages[i] == "English") m_selectedLanguage = static_cast<int>(i);
    if (languages.size() > 1)
    {
        std::vector<SDL_MessageBoxButtonData> langButtons;
        for (size_t i = 0; i < languages.size() && i < 8; ++i)
            langButtons.push_back({static_cast<int>(i) == m_selectedLanguage
                                       ? Uint32(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT)
                                       : 0u,
                                   static_cast<int>(i), languages[i].c_str()});
        SDL_MessageBoxData langBox{SDL_MESSAGEBOX_INFORMATION,
                                   nullptr,
                                   "Device Settings",
                                   "Language",
                                   static_cast<int>(langButtons.size()),
                                   langButtons.data(),
                                   nullptr};
        int language = m_selectedLanguage;
        if (SDL_ShowMessageBox(&langBox, &language) == 0 && language >= 0)
            m_selectedLanguage = language;
    }
    zu::core::zuLogText("Ok\n", zu::core::ELL_INFORMATION);
    setDriverType(zu::EDT_DIRECT3D9);
    return createWindow(size, fullscreen == 1, false, true, iconId);
}

bool CDeviceSDL::run()
{
    if (!m_ready) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
    if (m_quit) return false;
    pollJoysticks();
    return true;
}

void CDeviceSDL::postKey(uint32_t key, KeyAction action, uint16_t character, bool shift,
                         bool control)
{
    postEvent(SEngineEvent::makeKey(key, action, character, shift, control));
}

void CDeviceSDL::handleEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        m_quit = true;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        const SDL_Keysym& sym = event.key.keysym;
        uint32_t vk = toVirtualKey(sym);
        bool shift = (sym.mod & KMOD_SHIFT) != 0;
        bool control = (sym.mod & KMOD_CTRL) != 0;
        bool alt = (sym.mod & KMOD_ALT) != 0;
        if (event.type == SDL_KEYUP)
        {
            // Keys released while Alt is held are system keys: no event.
            if (vk && !alt) postKey(vk, KeyReleased, 0, shift, control);
            break;
        }
        if (alt)
        {
            // With Alt held only two keys mean something: Enter asks for full
            // screen, F4 quits. Everything else (Alt itself included) is the
            // window system's.
            if (vk == VK_RETURN)
                postKey(vk, KeyFullscreenToggle, 0, shift, control);
            else if (vk == VK_F4)
                m_quit = true;
            break;
        }
        if (!vk) break;
        postKey(vk, KeyPressed, 0, shift, control);
        if (vk == VK_V && control) postKey(vk, KeyPaste, 0, shift, control);
        // Keys that type control characters; text input reports only
        // printable text.
        uint16_t character = 0;
        if (vk == 0x08 || vk == 0x09 || vk == 0x0D || vk == 0x1B)
            character = static_cast<uint16_t>(vk);
        else if (control && vk >= 0x41 && vk <= 0x5A)
            character = static_cast<uint16_t>(vk - 0x40);
        if (character) postKey(character, KeyCharacter, character, false, false);
        break;
    }
    case SDL_TEXTINPUT:
        for (char16_t unit : zu::core::utf8ToUtf16(event.text.text, strlen(event.text.text)))
            postKey(unit, KeyCharacter, unit, false, false);
        break;
    case SDL_MOUSEMOTION:
    {
        const Uint32 state = event.motion.state;
        // A button released outside the window is released here, before the
        // move, as one synthesised release at most.
        const Uint32 masks[3] = {SDL_BUTTON_LMASK, SDL_BUTTON_RMASK, SDL_BUTTON_MMASK};
        for (int b = 0; b < 3; ++b)
            if (!(state & masks[b]) && isMouseButtonDown(b))
            {
                int32_t clicks = countClick(b, event.motion.x, event.motion.y);
                postEvent(SEngineEvent::makeMouse(static_cast<MouseAction>(b + 5), event.motion.x,
                                                  event.motion.y, clicks));
                break;
            }
        postEvent(SEngineEvent::makeMouse(MouseMoved, event.motion.x, event.motion.y));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        MouseAction action = buttonAction(event.button.button, down);
        int button = down ? action : action - 5;
        postMouseButton(button, down, event.button.x, event.button.y);
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        float notches = event.wheel.preciseY;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches == 0.f) break;
        // The wheel reports the cursor in screen coordinates.
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        postEvent(SEngineEvent::makeMouse(MouseWheel, x, y, 1, notches));
        break;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            onResize(event.window.data1, event.window.data2);
        else if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            m_quit = true;
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            m_active = false;
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            m_active = true;
        break;
    default:
        // Joystick and controller events never get here: the joystick
        // driver reads the devices itself.
        break;
    }
}

void CDeviceSDL::onResize(int width, int height)
{
    // Minimising reports a tiny size: nothing changes.
    if (width <= 1 || height <= 1) return;
    width += width & 1;
    height += height & 1;
    if (width == m_clientSize.width && height == m_clientSize.height) return;
    m_clientSize = {width, height};
    if (m_videoDriver) m_videoDriver->onResize(m_clientSize);
    SEngineEvent e{};
    e.type = WindowEvent;
    e.window.kind = WindowResized;
    e.window.width = width;
    e.window.height = height;
    postEvent(e);
}

bool CDeviceSDL::applyWindowMode(zu::core::SDimension2i size, bool fullscreen)
{
    if (!m_window) return false;
    if (fullscreen)
    {
        zu::core::zuPrintLn("Changing display settings: %dx%d, fullscreen", size.width,
                            size.height);
        SDL_DisplayMode mode{};
        mode.format = SDL_PIXELFORMAT_RGB888;
        mode.w = size.width;
        mode.h = size.height;
        if (SDL_SetWindowDisplayMode(m_window, &mode) != 0 ||
            SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) != 0)
        {
            zu::core::zuLogText("Switch to fullscreen: The graphics mode is not supported.",
                                zu::core::ELL_ERROR);
            return false;
        }
    }
    else
    {
        zu::core::zuPrintLn("Changing display settings: %dx%d", size.width, size.height);
        if (SDL_SetWindowFullscreen(m_window, 0) != 0) return false;
    }
    if (m_videoDriver && !m_videoDriver->switchFullscreen(fullscreen, size)) return false;
    if (!fullscreen) SDL_SetWindowSize(m_window, size.width, size.height);
    if (m_cursor) m_cursor->setWindowSize(size);
    return true;
}

bool CDeviceSDL::setFullscreen(bool on)
{
    if (!m_videoDriver) return false;
    if (m_videoDriver->isFullscreen() == on) return true;
    if (!applyWindowMode(on ? m_fullscreenSize : m_clientSize, on)) return false;
    m_fullscreen = on;
    SEngineEvent e{};
    e.type = WindowEvent;
    e.window.kind = WindowFullscreenChanged;
    e.window.fullscreen = on;
    postEvent(e);
    return true;
}

void CDeviceSDL::setWindowSize(zu::core::SDimension2i size)
{
    if (!ZU_CHECK_MSG(!m_fullscreen, "The window can't be resized while fullscreen") || !m_window)
        return;
    SDL_SetWindowSize(m_window, size.width, size.height);
    SDL_SetWindowPosition(m_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void CDeviceSDL::setWindowCaption(const zu::core::CString& text)
{
    if (m_window) SDL_SetWindowTitle(m_window, text.c_str());
}

void CDeviceSDL::moveWindow(int x, int y)
{
    if (m_window && m_videoDriver && !m_videoDriver->isFullscreen())
        SDL_SetWindowPosition(m_window, x, y);
}

void CDeviceSDL::setResizable(bool on)
{
    if (!m_window || on == m_resizable || (m_videoDriver && m_videoDriver->isFullscreen())) return;
    m_resizable = on;
    SDL_SetWindowResizable(m_window, on ? SDL_TRUE : SDL_FALSE);
}

bool CDeviceSDL::isWindowActive() const
{
    return m_active;
}

bool CDeviceSDL::swapBuffers()
{
    if (!m_window) return false;
    SDL_GL_SwapWindow(m_window);
    return true;
}

void CDeviceSDL::closeDevice()
{
    if (m_window)
    {
        SDL_StopTextInput();
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    m_quit = true;
}

void CDeviceSDL::fillVideoModeList(CVideoModeList& list)
{
    if (!m_ready) return;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
    {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
            list.addMode({mode.w, mode.h},
                         static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format)) == 24
                             ? 32
                             : static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format)));
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0)
        list.setDesktop({desktop.w, desktop.h},
                        SDL_BITSPERPIXEL(desktop.format) == 24
                            ? 32
                            : static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format)));
}

} // namespace kelvo
