// Translates SDL key events into the Windows virtual-key codes the game's handlers expect.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

namespace velozor {

// The virtual-key code of a pressed key, or nullopt for a key that has no Windows code (the
// window then ignores it). Letters and digits follow the keyboard layout, as on Windows: the
// key that types "a" is 65 whatever its place; on a layout whose letter keys type no Latin
// letter, the key's place on a US keyboard decides. Left and right Shift, Ctrl and Alt give
// the undistinguished codes 16, 17 and 18, as a Windows key-down event does. The keypad follows
// NumLock (KMOD_NUM in `key.mod`): on, its digits are VK_NUMPAD0 to VK_NUMPAD9; off, 4, 6, 8 and 2
// are the arrows and the others the keys printed under the digits. Its Enter is always Enter.
std::optional<int16_t> virtualKeyCode(const SDL_Keysym& key);

// The shift state that goes with a key-down: Shift 1, Ctrl 2, Alt 4. It never changes the code.
int16_t shiftState(Uint16 modifiers);

}  // namespace velozor
