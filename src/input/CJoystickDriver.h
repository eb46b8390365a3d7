// CJoystickDriver: the joystick driver over a back end that reads the
// controllers. Once per poll it reads every pad and joystick and posts a
// JoystickEvent for each button that changed, and a JoystickDeviceEvent for
// each device plugged in or out since the game started. A slot without a pad
// is read again only every 301st poll, unless the back end reports that a
// device arrived.
#pragma once

#include "input/IJoystickBackend.h"
#include "input/IJoystickDriver.h"

#include <memory>
#include <vector>

namespace zu
{
class ITimer;
}

namespace kelvo::input
{

class CJoystickDriver : public zu::input::IJoystickDriver
{
  public:
    // Polls between two tries of a slot without a pad.
    static constexpr int RETRY_POLLS = 300;
    // A vibration is sent again this often (milliseconds), since the platform
    // stops a pad's motors after about a minute.
    static constexpr uint32_t VIBRATION_RENEWAL_MS = 30000;

    // The timer (grabbed) measures how long a vibration has run.
    CJoystickDriver(std::unique_ptr<zu::input::IJoystickBackend> backend, zu::ITimer* timer);
    ~CJoystickDriver() override;

    // Takes in the devices present now, without announcing them (the game
    // finds them through the queries). False when the back end could not
    // start.
    bool initialise();

    int getJoystickCount() const override { return static_cast<int>(m_joysticks.size()); }
    bool isButtonPressed(int joystick, int button) const override;
    float getAxis(int joystick, int axis) const override;
    void setVibration(int joystick, int leftMotor, int rightMotor) override;
    zu::core::CString getProductName(int joystick) const override;
    bool isConnected(int joystick) const override;
    int getPadCount() const override;
    void poll(zu::event::IEventReceiver& target) override;

  private:
    struct SJoystickState
    {
        // At the last poll; true at first so that every pad slot is read at
        // the first poll.
        bool connected = true;
        // Known to the game: announced, or there when the driver started.
        bool present = false;
        bool buttons[zu::input::JOYSTICK_BUTTONS] = {};
        float axes[zu::input::JOYSTICK_AXES] = {};
        zu::core::CString productName;
        // Polls left before a slot without a pad is read again.
        int countdown = 0;
        uint16_t vibration[2] = {};
        uint32_t vibrationSentAt = 0;
    };

    const SJoystickState* stateOf(int joystick) const;
    void pollJoystick(int number, zu::event::IEventReceiver& target);
    void pollPad(int slot, zu::event::IEventReceiver& target);
    // A device answered to its number for the first time since it was
    // plugged in: it is announced.
    void arrive(SJoystickState& state, int joystick, const zu::core::CString& name,
                zu::event::IEventReceiver& target);
    // A device went away: its held buttons are released and it is announced
    // as removed.
    void lose(SJoystickState& state, int joystick, int buttons, zu::event::IEventReceiver& target);
    void setButton(SJoystickState& state, int joystick, int button, bool down,
                   zu::event::IEventReceiver& target);

    std::unique_ptr<zu::input::IJoystickBackend> m_backend;
    zu::ITimer* m_timer = nullptr;
    std::vector<SJoystickState> m_joysticks;
    SJoystickState m_pads[zu::input::PAD_SLOTS];
};

} // namespace kelvo::input
