#include "platform/CDeviceHeadless.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "platform/CJoystickBackendSDL.h"
#include "platform/COSOperator.h"
#include "platform/CQuietErrorOutput.h"
#include "video/null/CVideoNull.h"

namespace kelvo
{

CDeviceHeadless::CDeviceHeadless(const zu::core::CString& applicationVersion,
                                 const zu::core::CString& gameResources, zu::ITimer* timer)
    : CDeviceStub(applicationVersion, timer)
{
    COSOperator* os = new COSOperator(COSOperator::describeSystem());
    m_osOperator = os;
    zu::core::zuLogText(os->getOperatingSystemVersion().c_str(), zu::core::ELL_INFORMATION);
    m_fileSystem->addDirAlias("$GAME_RESOURCES$",
                              gameResources.empty() ? os->getExecutableFolder() : gameResources);
    m_fileSystem->addDirAlias("$EXECUTABLE_PATH$", os->getExecutableFolder());
    m_fileSystem->addDirAlias("$TEMP$", os->getTempFolder());
}

bool CDeviceHeadless::createWindow(zu::core::SDimension2i size, bool fullscreen, bool, bool, int)
{
    if (!ZU_CHECK_MSG(m_driverType != zu::EDT_NONE, "No driver type set"))
        return false;
    m_fullscreen = fullscreen;
    m_videoDriver = new video::CVideoNull(m_fileSystem, size);
    m_videoDriver->switchFullscreen(fullscreen, size);
    m_videoDriver->setTextureFlag(zu::video::ETCF_CREATE_MIP_MAPS, true);
    createGUIAndScene();
    return true;
}

bool CDeviceHeadless::run()
{
    if (m_quit)
        return false;
    pollJoysticks();
    return true;
}

bool CDeviceHeadless::setFullscreen(bool on)
{
    if (!m_videoDriver)
        return false;
    if (m_videoDriver->isFullscreen() == on)
        return true;
    m_videoDriver->switchFullscreen(on, m_videoDriver->getScreenSize());
    m_fullscreen = on;
    zu::event::SEngineEvent e{};
    e.type = zu::event::WindowEvent;
    e.window.kind = zu::event::WindowFullscreenChanged;
    e.window.fullscreen = on;
    postEvent(e);
    return true;
}

void CDeviceHeadless::setWindowSize(zu::core::SDimension2i size)
{
    if (!ZU_CHECK_MSG(!m_fullscreen, "The window can't be resized while fullscreen"))
        return;
    if (m_videoDriver)
        m_videoDriver->onResize(size);
}

zu::audio::IAudioDriver* CDeviceHeadless::createAudioDriver()
{
    // On a machine without a sound device the sound libraries print a page
    // of their own complaints; the driver's one line says enough.
    platform::CQuietErrorOutput quiet;
    return CDeviceStub::createAudioDriver();
}

zu::input::IJoystickDriver* CDeviceHeadless::createJoystickDriver()
{
    return platform::CJoystickBackendSDL::createDriver(m_fileSystem, m_timer, &m_joystickBackend);
}

void CDeviceHeadless::postScriptedPad(const SScriptedInput& input)
{
    // A script may attach a pad before any game state asked for the driver.
    getJoystickDriver();
    if (m_joystickBackend)
        m_joystickBackend->applyScriptedPad(input);
    else
        CDeviceStub::postScriptedPad(input);
}

} // namespace kelvo
