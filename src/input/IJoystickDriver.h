// IJoystickDriver: the game controllers the device reads once per pass.
//
// Joystick numbers: 0 .. getJoystickCount() - 1 are plain joysticks in the
// order they were found; 16 to 19 are the four game pad slots. A pad plugged
// in takes the lowest free slot and keeps it until it is unplugged. Pad
// buttons are 0 A, 1 B, 2 X, 3 Y, 4 left shoulder, 5 right shoulder,
// 6 start, 7 back, 8 to 11 the pad's up, down, left and right, 12 and 13 the
// stick presses; pad axes are 0 and 1 the left stick, 3 and 4 the right stick
// (-1 to 1, up and left negative), 6 and 7 the left and right trigger (0 to
// 1). Plain joysticks have buttons 0 .. 127 and axes 0 .. 7 as the device
// numbers them. Any other joystick, button or axis reads as released and 0.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

namespace zu::event
{
class IEventReceiver;
}

namespace zu::input
{

// The joystick number of pad slot 0; the slots are FIRST_PAD .. FIRST_PAD + 3.
constexpr int FIRST_PAD = 16;
constexpr int PAD_SLOTS = 4;
constexpr int PAD_BUTTONS = 14;
constexpr int JOYSTICK_BUTTONS = 128;
constexpr int JOYSTICK_AXES = 8;

class IJoystickDriver : public virtual IUnknown
{
  public:
    // The number of plain joysticks; pads are not counted.
    virtual int getJoystickCount() const = 0;
    virtual bool isButtonPressed(int joystick, int button) const = 0;
    virtual float getAxis(int joystick, int axis) const = 0;
    // Motor speeds of a pad, cut to 16 bits (0 stops a motor); the pad
    // vibrates until they are set to 0. Plain joysticks do not vibrate.
    virtual void setVibration(int joystick, int leftMotor, int rightMotor) = 0;
    // Never empty for a number in use ("Unknown device" when the device has
    // no name); empty for any other number.
    virtual core::CString getProductName(int joystick) const = 0;

    // Whether a device answers to the number at the last poll.
    virtual bool isConnected(int joystick) const = 0;
    // The number of pads in their slots.
    virtual int getPadCount() const = 0;
    // Reads every device once and posts to the target, as engine events, each
    // button that changed since the last poll and each device plugged in or
    // out (JoystickEvent, JoystickDeviceEvent).
    virtual void poll(event::IEventReceiver& target) = 0;
};

} // namespace zu::input
