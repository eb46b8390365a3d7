#include "host/CRunLuaState.h"

#include "audio/IAudioDriver.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "host/CLuaManager.h"
#include "host/PrintConsole.h"
#include "io/IFileSystem.h"
#include "lua/SScriptInput.h"
#include "lua/CLuaVideoLibrary.h"
#include "other/IKelvoDevice.h"
#include "scene/ISceneManager.h"
#include "video/IVideoDriver.h"

namespace pellora::states
{

using zu::lua::scriptInput;
using zu::lua::SScriptInput;

CRunLuaState::CRunLuaState() { scriptInput().clear(); }

CRunLuaState::~CRunLuaState()
{
    delete m_scriptManager;
    m_scriptManager = nullptr;
    // The script's elements and scene nodes go with it.
    if (m_guiEnvironment)
        m_guiEnvironment->clear();
    if (zu::scene::ISceneManager* scene = m_device ? m_device->getSceneManager() : nullptr)
        scene->clear();
}

int CRunLuaState::activate()
{
    m_device->setEventReceiver(this);
    // A fresh script finds its sounds and music beside main.lua and starts
    // with nothing playing, full volume and no pitch change.
    if (m_audioDriver)
    {
        zu::core::CString folder = "$GAME_RESOURCES$/pellora/";
        if (zu::io::IFileSystem* fileSystem = m_device->getFileSystem())
            folder = fileSystem->resolvePath(folder);
        m_audioDriver->setSoundFolder(folder);
        m_audioDriver->stopAllMusic();
        m_audioDriver->stopAllTrackedSounds();
        m_audioDriver->setSoundVolumeLevel(5);
        m_audioDriver->setMusicVolumeLevel(5);
        m_audioDriver->setVoiceDucking(false);
        m_audioDriver->setGlobalPitch(1.0f);
    }
    m_nextState = 0;
    // The game's own font becomes the console's and the GUI's; without one
    // the built-in font stays, so errors remain readable.
    if (m_guiEnvironment)
    {
        zu::gui::IGUIFont* font =
            m_guiEnvironment->getFont(zu::lua::CLuaVideoLibrary::DEFAULT_FONT);
        if (font)
            m_guiEnvironment->getSkin()->setFont(font);
    }

    m_scriptManager = new lua::CLuaManager();
    m_scriptManager->init(m_device);
    m_scriptManager->gameInit();
    return 0;
}

int CRunLuaState::update(float dt)
{
    if (!m_device->run() || !m_videoDriver)
        return zu::game::STATE_QUIT;
    m_scriptManager->frameUpdate(dt);
    return m_nextState;
}

void CRunLuaState::render()
{
    m_videoDriver->beginScene(true, true, 0xff000000);
    m_videoDriver->setTransform(zu::video::ETS_WORLD, zu::core::CMatrix4());
    m_videoDriver->setMaterial(zu::video::MaterialState());
    m_scriptManager->frameRender();
    if (m_guiEnvironment)
    {
        drawPrintConsole(m_videoDriver, m_guiEnvironment->getSkin()->getFont(),
                         m_scriptManager->getPrintList());
        m_guiEnvironment->drawAll();
    }
    m_videoDriver->endScene();
    // Saved as F11 saves, from the frame just finished.
    if (m_scriptManager->takeErrorScreenshot())
        m_videoDriver->writeScreenshot("", "", nullptr);
}

bool CRunLuaState::onEvent(const zu::event::SEngineEvent& event)
{
    using namespace zu::event;
    SScriptInput& input = scriptInput();
    switch (event.type)
    {
    case MouseEvent:
    {
        const SMouseEvent& m = event.mouse;
        if (m.action <= MiddleDown)
        {
            input.mouseButtons[m.action] = true;
            m_scriptManager->mouseButton(m.x, m.y, static_cast<int>(m.action), m.clicks);
            return true;
        }
        if (m.action >= LeftUp && m.action <= MiddleUp)
        {
            input.mouseButtons[m.action - LeftUp] = false;
            return true;
        }
        if (m.action == MouseMoved)
            m_scriptManager->setMousePosition(m.x, m.y);
        else if (m.action == MouseWheel)
        {
            float wheel = m.wheel != 0.f ? m.wheel : m.wheel2;
            if (wheel < 0.f)
                m_scriptManager->mouseButton(m.x, m.y, 3, 1);
            else if (wheel > 0.f)
                m_scriptManager->mouseButton(m.x, m.y, 4, 1);
        }
        return false;
    }
    case KeyEvent:
    {
        const SKeyEvent& k = event.key;
        if (k.action == KeyPressed)
        {
            if (k.key < 256)
                input.keys[k.key] = true;
            if (k.key == 0x52 && k.control)
            {
                m_nextState = STATE_RUN_LUA;
                return true;
            }
            m_scriptManager->keyPress(static_cast<int>(k.key));
        }
        else if (k.action == KeyReleased)
        {
            if (k.key < 256)
                input.keys[k.key] = false;
        }
        else if (k.action == KeyCharacter)
            m_scriptManager->keyCharacter(k.character);
        return false;
    }
    case JoystickEvent:
        if (event.joystick.released == 0)
            m_scriptManager->joystickButtonPressed(event.joystick.joystick, event.joystick.button);
        else if (event.joystick.released == 1)
            m_scriptManager->joystickButtonReleased(event.joystick.joystick,
                                                    event.joystick.button);
        return false;
    case JoystickDeviceEvent:
        if (event.joystickDevice.kind == JoystickAdded)
            m_scriptManager->joystickAdded(event.joystickDevice.joystick);
        else if (event.joystickDevice.kind == JoystickRemoved)
            m_scriptManager->joystickRemoved(event.joystickDevice.joystick);
        return false;
    case GameRequestEvent:
        if (event.request.request == GameRequestExit)
        {
            m_nextState = zu::game::STATE_QUIT;
            return true;
        }
        if (event.request.request == GameRequestReset)
        {
            m_nextState = STATE_RUN_LUA;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace pellora::states
