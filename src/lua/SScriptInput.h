// The keyboard and mouse-button state that scripts read through the kelvo
// table. The script-running state keeps it; a fresh state clears it, so a
// restarted script starts with every key released.
#pragma once

namespace zu::lua
{

struct SScriptInput
{
    bool keys[256] = {};
    bool mouseButtons[3] = {};

    void clear() { *this = SScriptInput(); }
};

// The one input state of the process.
SScriptInput& scriptInput();

} // namespace zu::lua
