#include "platform/CPlatformDevice.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "platform/CJoystickBackendSDL.h"
#include "platform/COSOperator.h"
#include "platform/CQuietErrorOutput.h"

namespace kelvo
{

CPlatformDevice::CPlatformDevice(const zu::core::CString& applicationVersion,
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

zu::audio::IAudioDriver* CPlatformDevice::createAudioDriver()
{
    // On a machine without a sound device the sound libraries print a page
    // of their own complaints; the driver's one line says enough.
    platform::CQuietErrorOutput quiet;
    return CDeviceStub::createAudioDriver();
}

zu::input::IJoystickDriver* CPlatformDevice::createJoystickDriver()
{
    return platform::CJoystickBackendSDL::createDriver(m_fileSystem, m_timer, &m_joystickBackend);
}

void CPlatformDevice::postScriptedPad(const SScriptedInput& input)
{
    // A script may attach a pad before any game state asked for the driver.
    getJoystickDriver();
    if (m_joystickBackend)
        m_joystickBackend->applyScriptedPad(input);
    else
        CDeviceStub::postScriptedPad(input);
}

} // namespace kelvo
