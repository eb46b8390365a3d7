#include "game/CGameState.h"

#include "other/IKelvoDevice.h"

namespace zu::game
{

CGameState::~CGameState() { m_errorText = ""; }

bool CGameState::init(IKelvoDevice* device)
{
    if (!device)
    {
        m_errorText = "No Kelvo device available!";
        return true;
    }
    m_device = device;
    m_videoDriver = device->getVideoDriver();
    m_guiEnvironment = device->getGUIEnvironment();
    m_audioDriver = device->getAudioDriver();
    m_joystickDriver = device->getJoystickDriver();
    return false;
}

} // namespace zu::game
