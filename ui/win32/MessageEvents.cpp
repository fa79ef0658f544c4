// The Win32 messages that reach the event loop, translated into WindowEvents.
#include "ui/win32/MessageEvents.h"

namespace velozor {

namespace {

// Shift 1, Ctrl 2, Alt 4, as the key handlers' Shift argument has them.
int16_t shiftState() {
    int16_t state = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= 2;
    if (GetKeyState(VK_MENU) < 0)
        state |= 4;
    return state;
}

}  // namespace

bool queueWindowEvent(HWND window, UINT message, WPARAM wParam, WindowEventQueue& queue) {
    switch (message) {
        case WM_KEYDOWN:
            queue.pushKey(static_cast<int16_t>(wParam), shiftState());
            return true;
        case WM_CLOSE:  // the close box, Alt+F4, the task bar
            queue.pushClose();
            return true;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            queue.pushPaint();
            return true;
        }
        default:
            return false;
    }
}

}  // namespace velozor
