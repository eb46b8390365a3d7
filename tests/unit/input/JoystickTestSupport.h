// What the joystick tests share: a timer the test sets, and a receiver that
// writes the joystick events down as short texts.
#pragma once

#include "core/ITimer.h"
#include "event/IEventReceiver.h"
#include "event/SEngineEvent.h"

#include <string>
#include <vector>

namespace joysticktest
{

class FakeTimer : public zu::ITimer
{
  public:
    uint32_t getRealTime() const override { return ms; }
    double getSeconds() const override { return ms / 1000.0; }
    uint32_t ms = 5000;
};

// "press 16 0", "release 16 0", "added 17", "removed 0"; any other event as
// "other <type>".
class Recorder : public zu::event::IEventReceiver
{
  public:
    bool onEvent(const zu::event::SEngineEvent& e) override
    {
        using namespace zu::event;
        if (e.type == JoystickEvent)
            seen.push_back(std::string(e.joystick.released ? "release " : "press ") +
                           std::to_string(e.joystick.joystick) + " " +
                           std::to_string(e.joystick.button));
        else if (e.type == JoystickDeviceEvent)
            seen.push_back(
                std::string(e.joystickDevice.kind == JoystickAdded ? "added " : "removed ") +
                std::to_string(e.joystickDevice.joystick));
        else
            seen.push_back("other " + std::to_string(e.type));
        return false;
    }
    // What was seen since the last take.
    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(seen);
        return out;
    }
    std::vector<std::string> seen;
};

} // namespace joysticktest
