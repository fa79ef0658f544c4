// What the window system delivers to the event loop.
#pragma once

#include <cstdint>

namespace velozor {

struct WindowEvent {
    enum class Kind {
        KeyDown,       // a key press (auto-repeats too), as a Windows virtual-key code
        CloseRequest,  // the window system asks the window to close
        Paint,         // the window needs painting
    };
    Kind kind = Kind::KeyDown;
    int16_t keyCode = 0;  // KeyDown only
    int16_t shift = 0;    // KeyDown only: Shift 1, Ctrl 2, Alt 4; the game ignores it
};

// Windows virtual-key codes the game answers to.
namespace vk {
inline constexpr int16_t Enter = 13;
inline constexpr int16_t Escape = 27;
inline constexpr int16_t Left = 37;
inline constexpr int16_t Up = 38;
inline constexpr int16_t Right = 39;
inline constexpr int16_t Down = 40;
inline constexpr int16_t F1 = 112;
}  // namespace vk

}  // namespace velozor
