// CJoystickBackendSDL: reads game controllers through SDL's game-controller
// and joystick API for the joystick driver. Devices SDL recognises as game
// controllers go to the four pad slots (the lowest free one); others, and a
// fifth pad, are plain joysticks numbered in SDL's order. SDL's own joystick
// events are switched off: the driver reads the states once per pass, and
// update() keeps them current.
//
// It also attaches virtual pads (SDL's virtual joysticks, seen like a real
// pad) for event scripts and tests.
#pragma once

#include "input/IJoystickBackend.h"

#include <SDL.h>

#include <set>
#include <vector>

namespace zu
{
class ITimer;
namespace io
{
class IFileSystem;
}
namespace input
{
class IJoystickDriver;
}
} // namespace zu

namespace kelvo
{
struct SScriptedInput;
}

namespace kelvo::platform
{

class CJoystickBackendSDL : public zu::input::IJoystickBackend
{
  public:
    // The game's file of extra controller mappings, in SDL's format.
    static constexpr const char* MAPPINGS_FILE = "$GAME_RESOURCES$/gamecontrollerdb.txt";

    // Starts SDL's controller support. mappings holds controller mappings in
    // SDL's text format (lines of a gamecontrollerdb.txt), taken in before
    // any device is opened.
    explicit CJoystickBackendSDL(const zu::core::CString& mappings = zu::core::CString());
    ~CJoystickBackendSDL() override;
    CJoystickBackendSDL(const CJoystickBackendSDL&) = delete;
    CJoystickBackendSDL& operator=(const CJoystickBackendSDL&) = delete;

    // The joystick driver over a new back end, with the mappings of the
    // game's MAPPINGS_FILE; null when SDL's controller support cannot start.
    // backend receives the back end, which the driver owns.
    static zu::input::IJoystickDriver*
    createDriver(zu::io::IFileSystem* fileSystem, zu::ITimer* timer, CJoystickBackendSDL** backend);

    bool isReady() const override { return m_ready; }
    bool update() override;
    bool hasPad(int slot) const override;
    bool readPad(int slot, zu::input::SPadReading& out) override;
    zu::core::CString getPadName(int slot) const override;
    void rumblePad(int slot, uint16_t left, uint16_t right) override;
    int getJoystickSlots() const override { return static_cast<int>(m_joysticks.size()); }
    bool hasJoystick(int number) const override;
    bool readJoystick(int number, zu::input::SJoystickReading& out) override;
    zu::core::CString getJoystickName(int number) const override;

    // Virtual pad number n (a name for scripts, not a slot): attached with
    // the identity of a common pad, so SDL sees a game controller. Buttons
    // and axes are numbered as the driver numbers them; values are -1 .. 1,
    // triggers 0 .. 1. The changes arrive at the next update().
    bool attachVirtualPad(int n);
    bool detachVirtualPad(int n);
    bool setVirtualPadButton(int n, int button, bool down);
    bool setVirtualPadAxis(int n, int axis, float value);
    // Carries out one pad line of an event script; problems are logged.
    void applyScriptedPad(const SScriptedInput& input);

    // The number of mappings taken from the text given at construction.
    int getMappingCount() const { return m_mappingCount; }

  private:
    bool isOpen(SDL_JoystickID id) const;
    SDL_Joystick* virtualPad(int n) const;

    bool m_ready = false;
    int m_mappingCount = 0;
    SDL_GameController* m_pads[4] = {};
    // By joystick number; null where a joystick was unplugged.
    std::vector<SDL_Joystick*> m_joysticks;
    // Devices that could not be opened are not tried again.
    std::set<SDL_JoystickID> m_refused;
    // By virtual pad number; null where none is attached. Each is a handle
    // of its own, for setting the values.
    std::vector<SDL_Joystick*> m_virtualPads;
};

} // namespace kelvo::platform
