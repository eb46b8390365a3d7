// CPlatformDevice: what the two devices of this platform share, the windowed
// one (CDeviceSDL) and the headless one (CDeviceHeadless): the OS services
// and the folder aliases made at start, the audio driver made quietly, and
// game controllers read through SDL with scripted pads.
#pragma once

#include "other/CDeviceStub.h"

namespace kelvo
{
namespace platform
{
class CJoystickBackendSDL;
}

class CPlatformDevice : public CDeviceStub
{
public:
    // gameResources is the game folder; empty means the executable's folder.
    CPlatformDevice(const zu::core::CString& applicationVersion,
                    const zu::core::CString& gameResources, zu::ITimer* timer);

protected:
    // Quiets the sound libraries' own start-up complaints.
    zu::audio::IAudioDriver* createAudioDriver() override;
    // Game controllers through SDL, with the game's extra mappings.
    zu::input::IJoystickDriver* createJoystickDriver() override;
    // Pad lines work virtual pads of the joystick driver's back end.
    void postScriptedPad(const SScriptedInput& input) override;

private:
    // The joystick driver's back end (owned by the driver), once it exists.
    platform::CJoystickBackendSDL* m_joystickBackend = nullptr;
};

} // namespace kelvo
