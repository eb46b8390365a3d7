// Translation of SDL keys into the Windows virtual-key codes scripts know
// (0x41 for A, 13 for Enter, 0x25 to 0x28 for the arrows, 122 for F11).
// Letters follow the keyboard layout, like virtual keys do; every other key
// is taken by its position on a US keyboard.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

namespace kelvo
{

// 0 for keys that have no virtual-key code.
uint32_t toVirtualKey(const SDL_Keysym& key);

} // namespace kelvo
