// Tests of the SDL-to-virtual-key mapping.
#include "ui/sdl/KeyMap.h"

#include <gtest/gtest.h>

#include "ui/WindowEvent.h"

namespace velozor {
namespace {

SDL_Keysym keysym(SDL_Keycode key, SDL_Scancode place = SDL_SCANCODE_UNKNOWN, Uint16 mod = 0) {
    SDL_Keysym result{};
    result.sym = key;
    result.scancode = place;
    result.mod = mod;
    return result;
}

TEST(KeyMap, GivesTheGamesKeysAndTheTrickyFallbacksTheirWindowsCodes) {
    const struct {
        SDL_Keycode key;
        SDL_Scancode place;
        std::optional<int16_t> code;
    } cases[] = {
        {SDLK_LEFT, SDL_SCANCODE_LEFT, vk::Left},
        {SDLK_UP, SDL_SCANCODE_UP, vk::Up},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, vk::Right},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, vk::Down},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, vk::Enter},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, vk::Enter},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, vk::Escape},
        {SDLK_F1, SDL_SCANCODE_F1, vk::F1},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},  // VK_SHIFT, for either Shift key
        {SDLK_a, SDL_SCANCODE_Q, 'A'},  // AZERTY: the character names the key, not its place
        {0x0444, SDL_SCANCODE_A, 'A'},  // Cyrillic "ф": named by its place
        {'&', SDL_SCANCODE_1, '1'},     // AZERTY's unshifted digit row
        {0x00F1, SDL_SCANCODE_SEMICOLON, 186},  // Spanish "ñ"
        {SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP, std::nullopt},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, std::nullopt},
    };
    for (const auto& [key, place, code] : cases)
        EXPECT_EQ(virtualKeyCode(keysym(key, place)), code) << "SDL key " << key;
}

TEST(KeyMap, KeypadIsArrowsWithNumLockOffAndDigitsWithItOn) {
    const struct {
        SDL_Keycode key;
        SDL_Scancode place;
        int16_t numLockOff;
        int16_t numLockOn;
    } cases[] = {
        {SDLK_KP_4, SDL_SCANCODE_KP_4, vk::Left, 100},
        {SDLK_KP_6, SDL_SCANCODE_KP_6, vk::Right, 102},
        {SDLK_KP_8, SDL_SCANCODE_KP_8, vk::Up, 104},
        {SDLK_KP_2, SDL_SCANCODE_KP_2, vk::Down, 98},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, vk::Enter, vk::Enter},
        {SDLK_KP_7, SDL_SCANCODE_KP_7, 36, 103},            // Home
        {SDLK_KP_3, SDL_SCANCODE_KP_3, 34, 99},             // PageDown
        {SDLK_KP_5, SDL_SCANCODE_KP_5, 12, 101},            // Clear
        {SDLK_KP_0, SDL_SCANCODE_KP_0, 45, 96},             // Insert; SDL numbers the 0 after the 9
        {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 46, 110},  // Delete
    };
    for (const auto& [key, place, numLockOff, numLockOn] : cases) {
        EXPECT_EQ(virtualKeyCode(keysym(key, place)), numLockOff) << "SDL key " << key;
        EXPECT_EQ(virtualKeyCode(keysym(key, place, KMOD_NUM)), numLockOn) << "SDL key " << key;
        // Only NumLock decides: CapsLock is no part of it.
        EXPECT_EQ(virtualKeyCode(keysym(key, place, KMOD_CAPS)), numLockOff) << "SDL key " << key;
    }
    // NumLock leaves the other keys as they are.
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NUM)), vk::Left);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_4, SDL_SCANCODE_4)), '4');
}

TEST(KeyMap, ModifiersHeldWithAKeyGoToTheShiftStateOnly) {
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_LSHIFT | KMOD_RCTRL)),
              vk::Left);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_a, SDL_SCANCODE_A, KMOD_RALT)), 'A');
    EXPECT_EQ(shiftState(KMOD_NONE), 0);
    EXPECT_EQ(shiftState(KMOD_RSHIFT), 1);
    EXPECT_EQ(shiftState(KMOD_LCTRL | KMOD_LALT), 6);
    EXPECT_EQ(shiftState(KMOD_LSHIFT | KMOD_RCTRL | KMOD_RALT), 7);
    // The lock keys are no part of the shift state.
    EXPECT_EQ(shiftState(KMOD_NUM | KMOD_CAPS), 0);
}

}  // namespace
}  // namespace velozor
