#include "host/CPelloraSuperReceiver.h"

#include "other/IKelvoDevice.h"
#include "video/IVideoDriver.h"

namespace pellora
{

bool CPelloraSuperReceiver::onEvent(const zu::event::SEngineEvent& event)
{
    using namespace zu::event;
    if (event.type != KeyEvent || !m_device)
        return false;
    zu::video::IVideoDriver* driver = m_device->getVideoDriver();
    if (event.key.action == KeyReleased && event.key.key == 122)
    {
        if (driver)
            driver->writeScreenshot("", "", nullptr);
        return true;
    }
    if (event.key.action == KeyFullscreenToggle && driver)
        m_device->setFullscreen(!driver->isFullscreen());
    return false;
}

} // namespace pellora
