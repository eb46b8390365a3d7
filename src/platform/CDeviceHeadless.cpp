#include "platform/CDeviceHeadless.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "video/null/CVideoNull.h"

namespace kelvo
{

CDeviceHeadless::CDeviceHeadless(const zu::core::CString& applicationVersion,
                                 const zu::core::CString& gameResources, zu::ITimer* timer)
    : CPlatformDevice(applicationVersion, gameResources, timer)
{
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

} // namespace kelvo
