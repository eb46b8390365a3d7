// CGameState: one state of the application's state machine. The application
// creates it, calls init with the device, then prepare/activate until it is
// ready, and from then on update and render once per pass.
#pragma once

#include "core/CString.h"
#include "event/IEventReceiver.h"

namespace zu
{
class IKelvoDevice;
namespace video
{
class IVideoDriver;
}
namespace gui
{
class IGUIEnvironment;
}
namespace audio
{
class IAudioDriver;
}
namespace input
{
class IJoystickDriver;
}
} // namespace zu

namespace zu::game
{

// State ids: 0 stays in the current state, 1 quits.
enum EStateId
{
    STATE_STAY = 0,
    STATE_QUIT = 1
};

class CGameState : public event::IEventReceiver
{
public:
    bool onEvent(const event::SEngineEvent& event) override = 0;
    ~CGameState() override;

    // Takes the device and its components; returns true when it FAILED.
    virtual bool init(IKelvoDevice* device);
    virtual void prepare() = 0;
    // 0 ready, 1 failed, 2 prepare and activate again.
    virtual int activate() = 0;
    // The id of the state to switch to, 0 to stay.
    virtual int update(float dt) = 0;
    virtual void render() = 0;

    const core::CString& getErrorText() const { return m_errorText; }

protected:
    core::CString m_errorText;
    IKelvoDevice* m_device = nullptr;
    video::IVideoDriver* m_videoDriver = nullptr;
    gui::IGUIEnvironment* m_guiEnvironment = nullptr;
    audio::IAudioDriver* m_audioDriver = nullptr;
    input::IJoystickDriver* m_joystickDriver = nullptr;
};

} // namespace zu::game
