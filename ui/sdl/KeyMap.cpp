// The table from SDL key symbols to Windows virtual-key codes.
#include "ui/sdl/KeyMap.h"

namespace velozor {

namespace {

// Keys identified by what they do, whatever the layout.
std::optional<int16_t> functionKeyCode(SDL_Keycode key) {
    switch (key) {
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_CLEAR: return 12;
        case SDLK_RETURN: return 13;
        case SDLK_RETURN2: return 13;
        case SDLK_KP_ENTER: return 13;
        case SDLK_LSHIFT: return 16;
        case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL: return 17;
        case SDLK_RCTRL: return 17;
        case SDLK_LALT: return 18;
        case SDLK_RALT: return 18;
        case SDLK_MODE: return 18;  // AltGr on layouts that report it apart
        case SDLK_PAUSE: return 19;
        case SDLK_CAPSLOCK: return 20;
        case SDLK_ESCAPE: return 27;
        case SDLK_SPACE: return 32;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_END: return 35;
        case SDLK_HOME: return 36;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_SELECT: return 41;
        case SDLK_EXECUTE: return 43;
        case SDLK_PRINTSCREEN: return 44;
        case SDLK_INSERT: return 45;
        case SDLK_DELETE: return 46;
        case SDLK_HELP: return 47;
        case SDLK_LGUI: return 91;
        case SDLK_RGUI: return 92;
        case SDLK_APPLICATION: return 93;
        case SDLK_SLEEP: return 95;
        case SDLK_KP_MULTIPLY: return 106;
        case SDLK_KP_PLUS: return 107;
        case SDLK_KP_MINUS: return 109;
        case SDLK_KP_PERIOD: return 110;
        case SDLK_KP_DECIMAL: return 110;
        case SDLK_KP_DIVIDE: return 111;
        case SDLK_NUMLOCKCLEAR: return 144;
        case SDLK_SCROLLLOCK: return 145;
        case SDLK_AC_BACK: return 166;
        case SDLK_AC_FORWARD: return 167;
        case SDLK_AC_REFRESH: return 168;
        case SDLK_AC_STOP: return 169;
        case SDLK_AC_SEARCH: return 170;
        case SDLK_AC_BOOKMARKS: return 171;
        case SDLK_AC_HOME: return 172;
        case SDLK_MUTE: return 173;
        case SDLK_VOLUMEDOWN: return 174;
        case SDLK_VOLUMEUP: return 175;
        case SDLK_AUDIONEXT: return 176;
        case SDLK_AUDIOPREV: return 177;
        case SDLK_AUDIOSTOP: return 178;
        case SDLK_AUDIOPLAY: return 179;
        case SDLK_MAIL: return 180;
        case SDLK_MEDIASELECT: return 181;
        case SDLK_APP1: return 182;
        case SDLK_APP2: return 183;
        default: break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<int16_t>(112 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24) return static_cast<int16_t>(124 + (key - SDLK_F13));
    // The keypad's digits are VK_NUMPAD0 to VK_NUMPAD9 (SDL lists 1 to 9, then 0).
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return static_cast<int16_t>(97 + (key - SDLK_KP_1));
    if (key == SDLK_KP_0) return 96;
    return std::nullopt;
}

// Keys identified by the character they type on the active layout.
std::optional<int16_t> characterKeyCode(SDL_Keycode key) {
    if (key >= 'a' && key <= 'z') return static_cast<int16_t>('A' + (key - 'a'));
    if (key >= '0' && key <= '9') return static_cast<int16_t>(key);
    switch (key) {  // the OEM codes of a US layout
        case ';': return 186;
        case '=': return 187;
        case ',': return 188;
        case '-': return 189;
        case '.': return 190;
        case '/': return 191;
        case '`': return 192;
        case '[': return 219;
        case '\\': return 220;
        case ']': return 221;
        case '\'': return 222;
        default: return std::nullopt;
    }
}

// Keys identified by their place: letters of non-Latin layouts, and the punctuation keys
// whose character has no code of its own (an "ñ" or "é" gets the code of the US key there).
std::optional<int16_t> placeKeyCode(SDL_Scancode place) {
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z) {
        return static_cast<int16_t>('A' + (place - SDL_SCANCODE_A));
    }
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9) {
        return static_cast<int16_t>('1' + (place - SDL_SCANCODE_1));
    }
    switch (place) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_SEMICOLON: return 186;
        case SDL_SCANCODE_EQUALS: return 187;
        case SDL_SCANCODE_COMMA: return 188;
        case SDL_SCANCODE_MINUS: return 189;
        case SDL_SCANCODE_PERIOD: return 190;
        case SDL_SCANCODE_SLASH: return 191;
        case SDL_SCANCODE_GRAVE: return 192;
        case SDL_SCANCODE_LEFTBRACKET: return 219;
        case SDL_SCANCODE_BACKSLASH: return 220;
        case SDL_SCANCODE_RIGHTBRACKET: return 221;
        case SDL_SCANCODE_APOSTROPHE: return 222;
        case SDL_SCANCODE_NONUSBACKSLASH: return 226;  // the extra key beside left Shift
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<int16_t> virtualKeyCode(const SDL_Keysym& key) {
    if (const auto code = functionKeyCode(key.sym)) return code;
    if (const auto code = characterKeyCode(key.sym)) return code;
    return placeKeyCode(key.scancode);
}

int16_t shiftState(Uint16 modifiers) {
    int16_t state = 0;
    if (modifiers & KMOD_SHIFT) state |= 1;
    if (modifiers & KMOD_CTRL) state |= 2;
    if (modifiers & KMOD_ALT) state |= 4;
    return state;
}

}  // namespace velozor
