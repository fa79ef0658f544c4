// Keys sent to the real program's window through the X server's XTest extension, as a keyboard
// would send them, with the moment each press left for the X server.
#pragma once

#include <chrono>
#include <string>

struct _XDisplay;  // Xlib's Display, without its macros

namespace velozor::bench {

// Keys to the window under the pointer, which XTest moves into the program's window (at the
// screen's top left: no window manager runs under Xvfb).
class Keyboard {
public:
    Keyboard();
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // False (with the reason on standard error) when the display or XTest is missing.
    bool ready() const { return display_ != nullptr; }
    // Presses and releases `keyName` (an X key name: "Up", "Escape", "Left"); returns the
    // moment the press left for the X server.
    std::chrono::steady_clock::time_point press(const std::string& keyName);

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace velozor::bench
