// IKelvoDevice: the root object of the engine. It owns the window and every
// component the game reaches through it (file system, timer, OS services,
// logger, video driver, GUI, 3D scene, audio, joysticks, network devices) and turns the
// window's messages into engine events, delivered in a fixed order: the GUI,
// the device's own input state, then the user receiver.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "event/SEngineEvent.h"
#include "video/EDriverType.h"

#include <vector>

namespace zu
{
class ITimer;
class IOSOperator;
class ICursorControl;
class IVideoModeList;
namespace io
{
class IFileSystem;
}
namespace video
{
class IVideoDriver;
}
namespace gui
{
class IGUIEnvironment;
}
namespace scene
{
class ISceneManager;
}
namespace audio
{
class IAudioDriver;
}
namespace input
{
class IJoystickDriver;
}
namespace event
{
class IEventReceiver;
class ILogger;
} // namespace event
namespace net
{
class INetworkDevice;
}

class IKelvoDevice : public virtual IUnknown
{
  public:
    virtual bool createWindow(core::SDimension2i size, bool fullscreen, bool ignored, bool vsync,
                              int iconId) = 0;
    // A modal chooser of resolution, full-screen mode and language. On
    // confirmation the device sets its driver type, creates its window and
    // returns true; false when the user cancelled.
    virtual bool showSettingsDialog(const std::vector<core::CString>& languages, int iconId) = 0;
    // The language index chosen in the settings dialog.
    virtual int getSelectedLanguage() const = 0;
    // Stores the driver type only if none is stored yet.
    virtual bool setDriverType(EDriverType type) = 0;
    virtual EDriverType getDriverType() const = 0;
    // One pass of the message pump; false once the quit message was seen.
    virtual bool run() = 0;
    virtual bool swapBuffers() = 0;

    virtual video::IVideoDriver* getVideoDriver() = 0;
    virtual io::IFileSystem* getFileSystem() = 0;
    virtual gui::IGUIEnvironment* getGUIEnvironment() = 0;
    // The 3D scene over the video driver; null while there is no driver.
    virtual scene::ISceneManager* getSceneManager() = 0;
    virtual ICursorControl* getCursorControl() = 0;
    // Filled on first use.
    virtual IVideoModeList* getVideoModeList() = 0;
    virtual event::ILogger* getLogger() = 0;
    virtual IOSOperator* getOSOperator() = 0;
    virtual ITimer* getTimer() = 0;
    // Created on first request; null when the machine has none.
    virtual audio::IAudioDriver* getAudioDriver() = 0;
    virtual input::IJoystickDriver* getJoystickDriver() = 0;

    // What Alt+Enter switches; false when there is no window to switch.
    virtual bool setFullscreen(bool on) = 0;
    virtual bool isFullscreen() const = 0;
    virtual void setWindowSize(core::SDimension2i size) = 0;
    virtual void setWindowCaption(const core::CString& text) = 0;
    virtual void moveWindow(int x, int y) = 0;
    virtual void setResizable(bool on) = 0;
    virtual bool isWindowActive() const = 0;
    virtual void closeDevice() = 0;

    virtual bool isKeyDown(uint32_t key) const = 0;
    virtual bool isMouseButtonDown(int button) const = 0;

    virtual event::IEventReceiver* getEventReceiver() = 0;
    virtual void setEventReceiver(event::IEventReceiver* receiver) = 0;
    // Delivers one event through the device's chain: GUI, input state, user receiver.
    virtual void postEvent(const event::SEngineEvent& event) = 0;

    // The network device of that name; a new one when there is none: kind 0
    // in packet mode, kind 1 in raw mode, any other kind gives null. The
    // device owns it until removeNetworkDevice or its own end.
    virtual net::INetworkDevice* createNetworkDevice(const core::CString& name, int kind) = 0;
    virtual net::INetworkDevice* getNetworkDevice(const core::CString& name) = 0;
    // Disconnects and releases the device of that name.
    virtual void removeNetworkDevice(const core::CString& name) = 0;
    // Every network device's per-frame turn, in order of creation.
    virtual void updateNetworkDevices() = 0;
    virtual core::CString getVersion() const = 0;
};

} // namespace zu
