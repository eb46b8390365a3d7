// CDeviceSDL: the device over an SDL window. Its pump turns SDL's events into
// engine events with the Windows virtual-key codes and message order that
// scripts know: a key press before its characters, UTF-16 code units as
// characters, click counts computed here, Ctrl+V as a press then a paste
// request, Alt+Enter as a full-screen request only, Alt+F4 as quit.
#pragma once

#include "platform/CPlatformDevice.h"

union SDL_Event;
struct SDL_Window;

namespace kelvo
{
class CCursorControlSDL;

class CDeviceSDL : public CPlatformDevice
{
public:
    // gameResources is the game folder; empty means the executable's folder.
    CDeviceSDL(const zu::core::CString& applicationVersion,
               const zu::core::CString& gameResources = "", zu::ITimer* timer = nullptr);
    ~CDeviceSDL() override;

    // False when SDL's video could not be started (no display).
    bool isReady() const { return m_ready; }

    bool createWindow(zu::core::SDimension2i size, bool fullscreen, bool ignored, bool vsync,
                      int iconId) override;
    bool showSettingsDialog(const std::vector<zu::core::CString>& languages, int iconId) override;
    bool run() override;
    bool swapBuffers() override;

    bool setFullscreen(bool on) override;
    bool isFullscreen() const override { return m_fullscreen; }
    void setWindowSize(zu::core::SDimension2i size) override;
    void setWindowCaption(const zu::core::CString& text) override;
    void moveWindow(int x, int y) override;
    void setResizable(bool on) override;
    bool isWindowActive() const override;
    void closeDevice() override;

    // Turns one SDL event into engine events (public for tests, which feed
    // events without a window).
    void handleEvent(const SDL_Event& event);
    zu::core::SDimension2i getClientSize() const { return m_clientSize; }
    SDL_Window* getWindow() const { return m_window; }

protected:
    void fillVideoModeList(CVideoModeList& list) override;

private:
    void onResize(int width, int height);
    bool applyWindowMode(zu::core::SDimension2i size, bool fullscreen);
    // Logs why the graphics could not start and tells the user in a message box.
    void reportGraphicsFailure(const zu::core::CString& reason);
    void postKey(uint32_t key, zu::event::KeyAction action, uint16_t character, bool shift,
                 bool control);

    bool m_ready = false;
    bool m_quit = false;
    // A window is active until another window takes the focus from it.
    bool m_active = true;
    SDL_Window* m_window = nullptr;
    CCursorControlSDL* m_cursor = nullptr;
    bool m_fullscreen = false;
    bool m_resizable = true;
    zu::core::SDimension2i m_fullscreenSize;
    zu::core::SDimension2i m_clientSize;

};

} // namespace kelvo
