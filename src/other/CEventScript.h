// CEventScript: input events read from a text file and posted by the device at
// given passes of its message pump, so automated runs can press keys and click
// without a person. One event per line; "#" starts a comment:
//
//   <pass> key <code> [down|up|press] [ctrl] [shift] [alt]   (no word: press)
//   <pass> char <code>
//   <pass> mouse <left|right|middle> [down|up|click] <x> <y>
//   <pass> move <x> <y>
//   <pass> wheel <x> <y> <notches>
//   <pass> quit
//
// Codes are decimal or 0x-prefixed virtual-key codes. Passes count from 1.
// A key line without down or up is a tap: the key goes down and up in the
// same pass, so "120 key 122" takes an F11 screenshot as a real tap does.
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
        Quit
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
