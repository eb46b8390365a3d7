// CDeviceStub: the platform-independent part of the device: component
// ownership, the event delivery chain, the key and button state, click
// counting, flags and the scripted input of automated runs. A platform device
// derives from it and adds the window and its message pump.
#pragma once

#include "core/Version.h"
#include "event/IEventReceiver.h"
#include "other/CEventScript.h"
#include "other/CVideoModeList.h"
#include "other/IKelvoDevice.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace kelvo
{

class CDeviceStub : public zu::IKelvoDevice
{
  public:
    explicit CDeviceStub(const zu::core::CString& applicationVersion, zu::ITimer* timer = nullptr);
    ~CDeviceStub() override;

    bool setDriverType(zu::EDriverType type) override;
    zu::EDriverType getDriverType() const override { return m_driverType; }

    zu::video::IVideoDriver* getVideoDriver() override { return m_videoDriver; }
    zu::io::IFileSystem* getFileSystem() override { return m_fileSystem; }
    zu::gui::IGUIEnvironment* getGUIEnvironment() override { return m_guiEnvironment; }
    zu::scene::ISceneManager* getSceneManager() override { return m_sceneManager; }
    zu::ICursorControl* getCursorControl() override { return m_cursorControl; }
    zu::IVideoModeList* getVideoModeList() override;
    int getSelectedLanguage() const override { return m_selectedLanguage; }
    zu::event::ILogger* getLogger() override { return m_logger; }
    zu::IOSOperator* getOSOperator() override { return m_osOperator; }
    zu::ITimer* getTimer() override { return m_timer; }
    // Created on first request; without a sound device it still exists and
    // plays nothing.
    zu::audio::IAudioDriver* getAudioDriver() override;
    // Created on first request; null on a platform without controllers.
    zu::input::IJoystickDriver* getJoystickDriver() override;

    bool isKeyDown(uint32_t key) const override;
    bool isMouseButtonDown(int button) const override;

    zu::event::IEventReceiver* getEventReceiver() override { return m_userReceiver; }
    void setEventReceiver(zu::event::IEventReceiver* receiver) override;
    void postEvent(const zu::event::SEngineEvent& event) override;

    zu::net::INetworkDevice* createNetworkDevice(const zu::core::CString& name, int kind) override;
    zu::net::INetworkDevice* getNetworkDevice(const zu::core::CString& name) override;
    void removeNetworkDevice(const zu::core::CString& name) override;
    void updateNetworkDevices() override;

    // Replaces the GUI environment and the 3D scene by new ones over the
    // current video driver and hands the GUI the user receiver. The platform
    // devices call it once their video driver exists.
    void createGUIAndScene();

    zu::core::CString getVersion() const override { return zu::core::ENGINE_VERSION; }

    void setFlag(int index, bool value);
    bool getFlag(int index) const;
    void setNamedFlag(const zu::core::CString& name, bool value) { m_namedFlags[name] = value; }
    bool getNamedFlag(const zu::core::CString& name) { return m_namedFlags[name]; }

    // The click count of a press of button b at (x, y): a series goes on while
    // presses of the same button come within 250 ms and 10 pixels of the last.
    int32_t countClick(int button, int32_t x, int32_t y);
    int32_t getClickCount() const { return m_clickCount; }

    // Input that automated runs post at given passes of the main loop.
    void setEventScript(std::unique_ptr<CEventScript> script) { m_eventScript = std::move(script); }
    // Posts the scripted input of the next pass, once per pass of the main
    // loop; returns false when it asks to quit.
    bool postScriptedInput();

  protected:
    // The audio driver, made on first request.
    virtual zu::audio::IAudioDriver* createAudioDriver();
    // The joystick driver, made and initialised on first request; null when
    // the platform has none.
    virtual zu::input::IJoystickDriver* createJoystickDriver() { return nullptr; }
    // Lets the joystick driver, when it exists, read the controllers and
    // post what changed through this device.
    void pollJoysticks();
    // A pad line of the event script; the platform devices attach and work
    // virtual pads. Here there are none.
    virtual void postScriptedPad(const SScriptedInput& input);
    // Adds the platform's display modes and the desktop mode to the list.
    virtual void fillVideoModeList(CVideoModeList&) {}
    // Posts a button press or release with its click count, as the platform would.
    void postMouseButton(int button, bool down, int32_t x, int32_t y);

    zu::core::CString m_version = zu::core::ENGINE_VERSION;
    zu::io::IFileSystem* m_fileSystem = nullptr;
    zu::video::IVideoDriver* m_videoDriver = nullptr;
    zu::gui::IGUIEnvironment* m_guiEnvironment = nullptr;
    zu::scene::ISceneManager* m_sceneManager = nullptr;
    zu::ITimer* m_timer = nullptr;
    zu::ICursorControl* m_cursorControl = nullptr;
    zu::event::ILogger* m_logger = nullptr;
    zu::IOSOperator* m_osOperator = nullptr;
    zu::audio::IAudioDriver* m_audioDriver = nullptr;
    zu::input::IJoystickDriver* m_joystickDriver = nullptr;
    zu::event::IEventReceiver* m_userReceiver = nullptr;
    zu::EDriverType m_driverType = zu::EDT_NONE;
    CVideoModeList* m_videoModeList = nullptr;
    int m_selectedLanguage = 0;

  private:
    // Hands the joystick driver's events to postEvent.
    class CEventPoster : public zu::event::IEventReceiver
    {
      public:
        explicit CEventPoster(CDeviceStub& device) : m_device(device) {}
        bool onEvent(const zu::event::SEngineEvent& event) override
        {
            m_device.postEvent(event);
            return true;
        }

      private:
        CDeviceStub& m_device;
    };

    CEventPoster m_eventPoster{*this};
    bool m_joysticksTried = false;
    bool m_padLinesReported = false;
    bool m_flags[3] = {false, false, false};
    std::map<zu::core::CString, bool> m_namedFlags;
    // One byte per key code 0..254, then mouse buttons 0..4.
    uint8_t m_inputState[260] = {};
    uint32_t m_lastClickTime = 0;
    int m_lastClickButton = 0;
    int32_t m_lastClickX = 0;
    int32_t m_lastClickY = 0;
    int32_t m_clickCount = 0;
    std::unique_ptr<CEventScript> m_eventScript;
    uint32_t m_pass = 0;
    // In order of creation; names are compared exactly.
    std::vector<std::pair<zu::core::CString, zu::net::INetworkDevice*>> m_networkDevices;
};

} // namespace kelvo
