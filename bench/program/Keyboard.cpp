// Keys through XTest.
#include "bench/program/Keyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>

namespace velozor::bench {

Keyboard::Keyboard() {
    display_ = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display_ == nullptr || !XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "cannot send keys: no X display with the XTest extension\n");
        if (display_ != nullptr)
            XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    XTestFakeMotionEvent(display_, -1, 10, 10, CurrentTime);
    XSync(display_, False);
}

Keyboard::~Keyboard() {
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

std::chrono::steady_clock::time_point Keyboard::press(const std::string& keyName) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keyName.c_str()));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XFlush(display_);
    const auto sent = std::chrono::steady_clock::now();
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
    return sent;
}

}  // namespace velozor::bench
