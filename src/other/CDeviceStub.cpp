#include "other/CDeviceStub.h"

#include "audio/COpenALDriver.h"
#include "core/Output.h"
#include "event/IEventReceiver.h"
#include "gui/CGUIEnvironment.h"
#include "input/IJoystickDriver.h"
#include "io/CFileSystem.h"
#include "net/CSocketNetworkDevice.h"
#include "other/CLogger.h"
#include "other/CTimer.h"
#include "other/ICursorControl.h"
#include "core/IOSOperator.h"
#include "scene/CSceneManager.h"
#include "video/IVideoDriver.h"

#include <cstdlib>

namespace kelvo
{

CDeviceStub::CDeviceStub(const zu::core::CString& applicationVersion, zu::ITimer* timer)
{
    m_logger = new CLogger();
    zu::core::zuLog(zu::core::ELL_BANNER, "Kelvo version %s", m_version.c_str());
    if (applicationVersion != m_version)
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "Warning: The version of the Kelvo (%s) does not match the version of "
                        "the application (%s).",
                        m_version.c_str(), applicationVersion.c_str());
    if (timer)
    {
        timer->grab();
        m_timer = timer;
    }
    else
        m_timer = new CTimer();
    m_fileSystem = new io::CFileSystem();
    m_videoModeList = new CVideoModeList();
}

CDeviceStub::~CDeviceStub()
{
    // Components go before the services they were built on; network
    // devices first, so no thread of theirs outlives anything.
    for (auto& entry : m_networkDevices)
        entry.second->drop();
    m_networkDevices.clear();
    zu::dropAndClear(m_guiEnvironment);
    // The scene's meshes and node textures belong to the driver.
    zu::dropAndClear(m_sceneManager);
    zu::dropAndClear(m_joystickDriver);
    zu::dropAndClear(m_audioDriver);
    zu::dropAndClear(m_videoDriver);
    zu::dropAndClear(m_cursorControl);
    zu::dropAndClear(m_videoModeList);
    zu::dropAndClear(m_fileSystem);
    zu::dropAndClear(m_osOperator);
    zu::dropAndClear(m_timer);
    zu::dropAndClear(m_logger);
}

zu::audio::IAudioDriver* CDeviceStub::getAudioDriver()
{
    if (!m_audioDriver)
        m_audioDriver = createAudioDriver();
    return m_audioDriver;
}

zu::audio::IAudioDriver* CDeviceStub::createAudioDriver()
{
    return new audio::COpenALDriver(m_fileSystem, m_timer);
}

zu::input::IJoystickDriver* CDeviceStub::getJoystickDriver()
{
    if (!m_joystickDriver && !m_joysticksTried)
    {
        m_joysticksTried = true;
        m_joystickDriver = createJoystickDriver();
    }
    return m_joystickDriver;
}

void CDeviceStub::pollJoysticks()
{
    if (m_joystickDriver)
        m_joystickDriver->poll(m_eventPoster);
}

void CDeviceStub::postScriptedPad(const SScriptedInput&)
{
    if (!m_padLinesReported)
        zu::core::zuLogText("Event script: this device has no joystick driver for pad lines",
                            zu::core::ELL_WARNING);
    m_padLinesReported = true;
}

zu::IVideoModeList* CDeviceStub::getVideoModeList()
{
    if (m_videoModeList->getModeCount() == 0)
        fillVideoModeList(*m_videoModeList);
    return m_videoModeList;
}

bool CDeviceStub::setDriverType(zu::EDriverType type)
{
    if (m_driverType != zu::EDT_NONE)
        return false;
    m_driverType = type;
    return true;
}

bool CDeviceStub::isKeyDown(uint32_t key) const { return key < 255 && m_inputState[key] != 0; }

bool CDeviceStub::isMouseButtonDown(int button) const
{
    if (!ZU_CHECK(button >= 0) || !ZU_CHECK(button < 5))
        return false;
    return m_inputState[255 + button] != 0;
}

void CDeviceStub::setEventReceiver(zu::event::IEventReceiver* receiver)
{
    m_userReceiver = receiver;
    if (m_logger)
        m_logger->setReceiver(receiver);
    if (m_guiEnvironment)
        m_guiEnvironment->setUserEventReceiver(receiver);
}

void CDeviceStub::createGUIAndScene()
{
    zu::dropAndClear(m_guiEnvironment);
    m_guiEnvironment = new gui::CGUIEnvironment(m_fileSystem, m_videoDriver, m_timer, m_osOperator);
    zu::dropAndClear(m_sceneManager);
    if (m_videoDriver)
        m_sceneManager = new scene::CSceneManager(m_videoDriver, m_fileSystem);
    setEventReceiver(m_userReceiver);
}

void CDeviceStub::postEvent(const zu::event::SEngineEvent& event)
{
    using namespace zu::event;
    // The GUI comes first: what it consumes changes no input state.
    if (m_guiEnvironment && m_guiEnvironment->postEventFromUser(event))
        return;

    if (event.type == KeyEvent && event.key.key < 255)
    {
        if (event.key.action == KeyPressed)
            m_inputState[event.key.key] = 1;
        else if (event.key.action == KeyReleased)
            m_inputState[event.key.key] = 0;
    }
    else if (event.type == MouseEvent)
    {
        uint32_t action = event.mouse.action;
        if (action <= Extra2Down)
            m_inputState[255 + action] = 1;
        else if (action <= Extra2Up)
            m_inputState[255 + action - 5] = 0;
    }

    if (m_userReceiver)
        m_userReceiver->onEvent(event);
}

zu::net::INetworkDevice* CDeviceStub::createNetworkDevice(const zu::core::CString& name, int kind)
{
    if (zu::net::INetworkDevice* existing = getNetworkDevice(name))
        return existing;
    if (kind != net::CSocketNetworkDevice::MODE_PACKET && kind != net::CSocketNetworkDevice::MODE_RAW)
        return nullptr;
    auto* device =
        new net::CSocketNetworkDevice(name, static_cast<net::CSocketNetworkDevice::EMode>(kind));
    // Hosts listen on every address unless told otherwise (127.0.0.1 keeps a
    // game to this machine).
    if (const char* address = getenv("PELLORA_LISTEN_ADDRESS"))
        device->setListenAddress(address);
    m_networkDevices.emplace_back(name, device);
    return device;
}

zu::net::INetworkDevice* CDeviceStub::getNetworkDevice(const zu::core::CString& name)
{
    for (auto& entry : m_networkDevices)
        if (entry.first == name)
            return entry.second;
    return nullptr;
}

void CDeviceStub::removeNetworkDevice(const zu::core::CString& name)
{
    for (auto it = m_networkDevices.begin(); it != m_networkDevices.end(); ++it)
        if (it->first == name)
        {
            zu::net::INetworkDevice* device = it->second;
            m_networkDevices.erase(it);
            device->drop();
            return;
        }
}

void CDeviceStub::updateNetworkDevices()
{
    for (auto& entry : m_networkDevices)
        entry.second->update();
}

void CDeviceStub::setFlag(int index, bool value)
{
    if (index >= 0 && index < 3)
        m_flags[index] = value;
}

bool CDeviceStub::getFlag(int index) const { return index >= 0 && index < 3 && m_flags[index]; }

int32_t CDeviceStub::countClick(int button, int32_t x, int32_t y)
{
    uint32_t now = m_timer->getRealTime();
    bool series = button == m_lastClickButton && now - m_lastClickTime <= 250 &&
                  std::abs(x - m_lastClickX) <= 10 && std::abs(y - m_lastClickY) <= 10;
    if (!series)
    {
        m_clickCount = 0;
        m_lastClickButton = button;
        m_lastClickX = x;
        m_lastClickY = y;
    }
    m_lastClickTime = now;
    return ++m_clickCount;
}

void CDeviceStub::postMouseButton(int button, bool down, int32_t x, int32_t y)
{
    using namespace zu::event;
    int32_t clicks = down ? countClick(button, x, y) : m_clickCount;
    auto action = static_cast<MouseAction>(down ? button : button + 5);
    postEvent(SEngineEvent::makeMouse(action, x, y, clicks));
}

bool CDeviceStub::postScriptedInput()
{
    using namespace zu::event;
    ++m_pass;
    if (!m_eventScript)
        return true;
    for (const SScriptedInput& in : m_eventScript->eventsForPass(m_pass))
    {
        switch (in.kind)
        {
        case SScriptedInput::Key:
            if (in.alt && in.code == 13)
            {
                // Alt+Enter is only a full-screen toggle request.
                postEvent(SEngineEvent::makeKey(13, KeyFullscreenToggle, 0, in.shift, in.control));
                break;
            }
            if (in.down)
            {
                postEvent(SEngineEvent::makeKey(in.code, KeyPressed, 0, in.shift, in.control));
                if (in.control && in.code == 0x56)
                    postEvent(SEngineEvent::makeKey(in.code, KeyPaste, 0, in.shift, in.control));
            }
            if (in.up)
                postEvent(SEngineEvent::makeKey(in.code, KeyReleased, 0, in.shift, in.control));
            break;
        case SScriptedInput::Character:
            postEvent(SEngineEvent::makeKey(in.code, KeyCharacter, static_cast<uint16_t>(in.code)));
            break;
        case SScriptedInput::MouseButton:
            if (in.down)
                postMouseButton(static_cast<int>(in.code), true, in.x, in.y);
            if (in.up)
                postMouseButton(static_cast<int>(in.code), false, in.x, in.y);
            break;
        case SScriptedInput::MouseMove:
            postEvent(SEngineEvent::makeMouse(MouseMoved, in.x, in.y));
            break;
        case SScriptedInput::Wheel:
            postEvent(SEngineEvent::makeMouse(MouseWheel, in.x, in.y, 1, in.wheel));
            break;
        case SScriptedInput::Pad:
            postScriptedPad(in);
            break;
        case SScriptedInput::Quit:
            return false;
        }
    }
    return true;
}

} // namespace kelvo
