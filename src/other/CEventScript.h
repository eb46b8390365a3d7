// CEventScript: input events read from a text file and posted by the device at
// given passes of its message pump, so automated runs can press keys and click
// without a person. One event per line; "#" starts a comment:
//
//   <pass> key <code> [down|up|press] [ctrl] [shift] [alt]   (no word: press)
//   <pass> char <code>
//   <pass> mouse <left|right|middle> [down|up|click] <x> <y>
//   <pass> move <x> <y>
//   <pass> wheel <x> <y> <notches>
//   <pass> pad [N] attach|detach
//   <pass> pad [N] button <b> [down|up]             (no word: press for one pass)
//   <pass> pad [N] axis <a> <value>
//   <pass> quit
//
// Codes are decimal or 0x-prefixed virtual-key codes. Passes count from 1.
// A key line without down or up is a tap: the key goes down and up in the
// same pass, so "120 key 122" takes an F11 screenshot as a real tap does.
//
// Pad lines work virtual game pads: N (0 to 255, 0 when left out) names the
// virtual pad, which takes a pad slot as a real one would. Buttons are
// numbered as the joystick callbacks number them (0 is A, 10 the d-pad's
// left). Axes count from 0, one less than getJoystickAxises counts them:
// 0 and 1 the left stick's x and y, 3 and 4 the right stick's, from -1 (left,
// up) to 1; 6 and 7 the triggers, from 0 to 1. A pad reads its buttons once
// per pass, so a button line without down or up holds the button down for
// one pass and lets it go in the next.
#pragma once

#include "core/CString.h"

#include <cstdint>
#include <vector>

namespace kelvo
{

struct SScriptedInput
{
    enum EKind
    {
        Key,
        Character,
        MouseButton,
        MouseMove,
        Wheel,
        Pad,
        Quit
    };
    enum EPadAction
    {
        PadAttach,
        PadDetach,
        PadButton,
        PadAxis
    };

    uint32_t pass = 0;
    EKind kind = Key;
    uint32_t code = 0;      // key code, character, or mouse button 0..2
    bool down = true;       // key and button: pressed
    bool up = false;        // key and button: released (both set: a press then a release)
    bool control = false;
    bool shift = false;
    bool alt = false;
    int32_t x = 0;
    int32_t y = 0;
    float wheel = 0.f;
    // Pad lines: what to do, with which virtual pad; code is the button or
    // axis, value the axis position.
    EPadAction padAction = PadAttach;
    int pad = 0;
    float value = 0.f;
};

class CEventScript
{
public:
    // Parses the text; on a malformed line fills error with its number and
    // returns false.
    bool parse(const zu::core::CString& text, zu::core::CString& error);
    bool load(const zu::core::CString& path, zu::core::CString& error);

    // The events of one pass, in file order.
    std::vector<SScriptedInput> eventsForPass(uint32_t pass) const;
    bool empty() const { return m_events.empty(); }

private:
    std::vector<SScriptedInput> m_events;
};

} // namespace kelvo
