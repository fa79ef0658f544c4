// Tests of the SDL-to-virtual-key mapping.
#include "ui/sdl/KeyMap.h"

#include <gtest/gtest.h>

#include "ui/WindowEvent.h"

namespace velozor {
namespace {

// (Left, Right, Enter, Escape and F1 reach the window as their codes in SdlWindowTest.)
TEST(KeyMap, GivesEachKeyItsWindowsCodeWhateverTheLayoutAndOnTheKeypadAsNumLockSays) {
    const struct {
        SDL_Keycode key;
        SDL_Scancode place;
        Uint16 mod;
        std::optional<int16_t> code;
    } cases[] = {
        {SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_LSHIFT | KMOD_RCTRL, vk::Left},  // held modifiers
        {SDLK_UP, SDL_SCANCODE_UP, 0, vk::Up},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, 0, vk::Down},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 0, 16},  // VK_SHIFT, for either Shift key
        {SDLK_a, SDL_SCANCODE_Q, KMOD_RALT, 'A'},   // AZERTY: the character names the key
        {0x0444, SDL_SCANCODE_A, 0, 'A'},           // Cyrillic "ф": named by its place
        {'&', SDL_SCANCODE_1, 0, '1'},              // AZERTY's unshifted digit row
        {'4', SDL_SCANCODE_Q, 0, '4'},
        {0x00F1, SDL_SCANCODE_SEMICOLON, 0, 186},  // Spanish "ñ"
        {SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP, 0, std::nullopt},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0, std::nullopt},
        // The keypad is arrows and the keys around them with NumLock off, CapsLock or not.
        {SDLK_KP_4, SDL_SCANCODE_KP_4, KMOD_CAPS, vk::Left},
        {SDLK_KP_4, SDL_SCANCODE_KP_4, KMOD_NUM, 100},
        {SDLK_KP_6, SDL_SCANCODE_KP_6, 0, vk::Right},
        {SDLK_KP_8, SDL_SCANCODE_KP_8, 0, vk::Up},
        {SDLK_KP_2, SDL_SCANCODE_KP_2, 0, vk::Down},
        {SDLK_KP_0, SDL_SCANCODE_KP_0, 0, 45},  // Insert; SDL numbers the 0 after the 9
        {SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM, 96},
        {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 0, 46},  // Delete
        {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM, 110},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_NUM, vk::Enter},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NUM, vk::Left},  // NumLock leaves the rest alone
    };
    for (const auto& [key, place, mod, code] : cases) {
        const SDL_Keysym keysym{place, key, mod, 0};
        EXPECT_EQ(virtualKeyCode(keysym), code) << "SDL key " << key << ", modifiers " << mod;
    }
}

TEST(KeyMap, ShiftStateHasShiftCtrlAndAltButNoLock) {
    EXPECT_EQ(shiftState(KMOD_NONE), 0);
    EXPECT_EQ(shiftState(KMOD_RSHIFT), 1);
    EXPECT_EQ(shiftState(KMOD_LCTRL | KMOD_LALT), 6);
    EXPECT_EQ(shiftState(KMOD_LSHIFT | KMOD_RCTRL | KMOD_RALT), 7);
    EXPECT_EQ(shiftState(KMOD_NUM | KMOD_CAPS), 0);
}

}  // namespace
}  // namespace velozor
