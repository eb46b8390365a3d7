// IJoystickBackend: what reads the controllers for the joystick driver. It
// keeps the pads in four fixed slots (a pad plugged in takes the lowest free
// one) and numbers plain joysticks 0, 1, 2 ... the same way; the driver asks
// it slot by slot. The platform provides one over its controller API; tests
// provide fakes.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::input
{

// One reading of a pad, in the platform's raw units.
struct SPadReading
{
    // Bit b set while pad button b (the driver's numbering) is down.
    uint16_t buttons = 0;
    // Left X, left Y, right X, right Y: -32768 .. 32767, Y growing downwards.
    int16_t sticks[4] = {};
    // Left and right trigger: 0 .. 32767.
    int16_t triggers[2] = {};
};

// One reading of a plain joystick.
struct SJoystickReading
{
    bool buttons[128] = {};
    // The first eight axes, -32768 .. 32767; missing axes stay 0.
    int16_t axes[8] = {};
};

class IJoystickBackend
{
  public:
    virtual ~IJoystickBackend() = default;

    // False when the platform's controller support could not be started.
    virtual bool isReady() const = 0;
    // Once per poll, before any reading: takes in the devices plugged in or
    // out since the last update and brings their states up to date. True
    // when a device arrived.
    virtual bool update() = 0;

    // Whether a pad sits in the slot (0 .. 3), without reading it.
    virtual bool hasPad(int slot) const = 0;
    // False when there is no pad in the slot.
    virtual bool readPad(int slot, SPadReading& out) = 0;
    virtual core::CString getPadName(int slot) const = 0;
    // Sets the pad's motors for as long as the platform allows (at least a
    // minute); 0 and 0 stop them.
    virtual void rumblePad(int slot, uint16_t left, uint16_t right) = 0;

    // One more than the highest plain joystick number in use.
    virtual int getJoystickSlots() const = 0;
    virtual bool hasJoystick(int number) const = 0;
    // False when no joystick has the number.
    virtual bool readJoystick(int number, SJoystickReading& out) = 0;
    virtual core::CString getJoystickName(int number) const = 0;
};

} // namespace zu::input
