// The table from SDL key symbols to Windows virtual-key codes.
#include "ui/sdl/KeyMap.h"

namespace velozor {

namespace {

// Keys identified by what they do, whatever the layout: each SDL key and its Windows code.
struct KeyCode {
    SDL_Keycode key;
    int16_t code;
};
constexpr KeyCode kFunctionKeys[] = {
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},
    {SDLK_CLEAR, 12},         {SDLK_RETURN, 13},
    {SDLK_RETURN2, 13},       {SDLK_KP_ENTER, 13},
    {SDLK_LSHIFT, 16},        {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},         {SDLK_RCTRL, 17},
    {SDLK_LALT, 18},          {SDLK_RALT, 18},
    {SDLK_MODE, 18},  // AltGr on layouts that report it apart
    {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},        {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},           {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},
    {SDLK_RIGHT, 39},         {SDLK_DOWN, 40},
    {SDLK_SELECT, 41},        {SDLK_EXECUTE, 43},
    {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},        {SDLK_HELP, 47},
    {SDLK_LGUI, 91},          {SDLK_RGUI, 92},
    {SDLK_APPLICATION, 93},   {SDLK_SLEEP, 95},
    {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DECIMAL, 110},   {SDLK_KP_DIVIDE, 111},
    {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_AC_BACK, 166},      {SDLK_AC_FORWARD, 167},
    {SDLK_AC_REFRESH, 168},   {SDLK_AC_STOP, 169},
    {SDLK_AC_SEARCH, 170},    {SDLK_AC_BOOKMARKS, 171},
    {SDLK_AC_HOME, 172},      {SDLK_MUTE, 173},
    {SDLK_VOLUMEDOWN, 174},   {SDLK_VOLUMEUP, 175},
    {SDLK_AUDIONEXT, 176},    {SDLK_AUDIOPREV, 177},
    {SDLK_AUDIOSTOP, 178},    {SDLK_AUDIOPLAY, 179},
    {SDLK_MAIL, 180},         {SDLK_MEDIASELECT, 181},
    {SDLK_APP1, 182},         {SDLK_APP2, 183},
};

// With NumLock off the keypad's digits and point move the cursor, as on Windows: 4, 6, 8 and 2
// are the arrows, and the keys around them Home, PageUp, End, PageDown, Insert, Delete and
// Clear. Players who drive on the keypad keep NumLock off and expect arrows.
constexpr KeyCode kKeypadWithoutNumLock[] = {
    {SDLK_KP_4, 37}, {SDLK_KP_8, 38}, {SDLK_KP_6, 39},      {SDLK_KP_2, 40},
    {SDLK_KP_7, 36}, {SDLK_KP_9, 33}, {SDLK_KP_1, 35},      {SDLK_KP_3, 34},
    {SDLK_KP_0, 45}, {SDLK_KP_5, 12}, {SDLK_KP_PERIOD, 46}, {SDLK_KP_DECIMAL, 46},
};

std::optional<int16_t> keypadNavigationCode(SDL_Keycode key) {
    for (const KeyCode& entry : kKeypadWithoutNumLock) {
        if (entry.key == key)
            return entry.code;
    }
    return std::nullopt;
}

std::optional<int16_t> functionKeyCode(SDL_Keycode key) {
    for (const KeyCode& entry : kFunctionKeys) {
        if (entry.key == key)
            return entry.code;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<int16_t>(112 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return static_cast<int16_t>(124 + (key - SDLK_F13));
    // The keypad's digits are VK_NUMPAD0 to VK_NUMPAD9 (SDL lists 1 to 9, then 0).
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<int16_t>(97 + (key - SDLK_KP_1));
    if (key == SDLK_KP_0)
        return 96;
    return std::nullopt;
}

// Punctuation by the character it types: the OEM codes of a US layout.
constexpr KeyCode kPunctuationKeys[] = {
    {';', 186}, {'=', 187}, {',', 188},  {'-', 189}, {'.', 190},  {'/', 191},
    {'`', 192}, {'[', 219}, {'\\', 220}, {']', 221}, {'\'', 222},
};

// Keys identified by the character they type on the active layout.
std::optional<int16_t> characterKeyCode(SDL_Keycode key) {
    if (key >= 'a' && key <= 'z')
        return static_cast<int16_t>('A' + (key - 'a'));
    if (key >= '0' && key <= '9')
        return static_cast<int16_t>(key);
    for (const KeyCode& entry : kPunctuationKeys) {
        if (entry.key == key)
            return entry.code;
    }
    return std::nullopt;
}

// The punctuation keys by their place on a US keyboard.
struct PlaceCode {
    SDL_Scancode place;
    int16_t code;
};
constexpr PlaceCode kPunctuationPlaces[] = {
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},  // the extra key beside left Shift
};

// Keys identified by their place: letters of non-Latin layouts, and the punctuation keys
// whose character has no code of its own (an "ñ" or "é" gets the code of the US key there).
std::optional<int16_t> placeKeyCode(SDL_Scancode place) {
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z) {
        return static_cast<int16_t>('A' + (place - SDL_SCANCODE_A));
    }
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9) {
        return static_cast<int16_t>('1' + (place - SDL_SCANCODE_1));
    }
    if (place == SDL_SCANCODE_0)
        return '0';
    for (const PlaceCode& entry : kPunctuationPlaces) {
        if (entry.place == place)
            return entry.code;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int16_t> virtualKeyCode(const SDL_Keysym& key) {
    if ((key.mod & KMOD_NUM) == 0) {
        if (const auto code = keypadNavigationCode(key.sym))
            return code;
    }
    if (const auto code = functionKeyCode(key.sym))
        return code;
    if (const auto code = characterKeyCode(key.sym))
        return code;
    return placeKeyCode(key.scancode);
}

int16_t shiftState(Uint16 modifiers) {
    int16_t state = 0;
    if (modifiers & KMOD_SHIFT)
        state |= 1;
    if (modifiers & KMOD_CTRL)
        state |= 2;
    if (modifiers & KMOD_ALT)
        state |= 4;
    return state;
}

}  // namespace velozor
