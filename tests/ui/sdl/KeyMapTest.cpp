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

TEST(KeyMap, GivesTheCodesTheGameAnswersTo) {
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LEFT)), vk::Left);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_UP)), vk::Up);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_RIGHT)), vk::Right);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_DOWN)), vk::Down);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_RETURN)), vk::Enter);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_KP_ENTER)), vk::Enter);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_ESCAPE)), vk::Escape);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_F1)), vk::F1);
}

TEST(KeyMap, FoldsLeftAndRightModifiersIntoOneCode) {
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LSHIFT)), vk::Shift);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_RSHIFT)), vk::Shift);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LCTRL)), vk::Control);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_RCTRL)), vk::Control);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_LALT)), vk::Alt);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_RALT)), vk::Alt);
}

TEST(KeyMap, NumbersTheFunctionAndKeypadRowsWithoutGaps) {
    // SDL numbers F13 apart from F12, and the keypad's 0 after its 9.
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_F12)), 123);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_F13)), 124);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_F24)), 135);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_KP_0)), 96);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_KP_1)), 97);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_KP_9)), 105);
}

TEST(KeyMap, NamesLettersAndDigitsByWhatTheLayoutTypes) {
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_a, SDL_SCANCODE_A)), 'A');
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_z, SDL_SCANCODE_Z)), 'Z');
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_0, SDL_SCANCODE_0)), '0');
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_9, SDL_SCANCODE_9)), '9');
    // AZERTY: the key in the Q place types "a", and Windows calls it A.
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_a, SDL_SCANCODE_Q)), 'A');
}

TEST(KeyMap, FallsBackToTheKeysPlaceWhenItsCharacterHasNoCode) {
    // A Cyrillic layout's "ф" sits where a US keyboard has A.
    EXPECT_EQ(virtualKeyCode(keysym(0x0444, SDL_SCANCODE_A)), 'A');
    // AZERTY's digit row types "&" unshifted; Windows still calls the key 1.
    EXPECT_EQ(virtualKeyCode(keysym('&', SDL_SCANCODE_1)), '1');
    // Spanish "ñ" takes the code of the US key in its place.
    EXPECT_EQ(virtualKeyCode(keysym(0x00F1, SDL_SCANCODE_SEMICOLON)), 186);
}

TEST(KeyMap, IgnoresKeysWithoutAWindowsCode) {
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP)), std::nullopt);
    EXPECT_EQ(virtualKeyCode(keysym(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN)), std::nullopt);
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
