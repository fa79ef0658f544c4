// The window messages the event loop hears, as WindowEvents: WM_KEYDOWN (virtual-key codes as
// they come, auto-repeats included), WM_CLOSE and WM_PAINT.
#pragma once

#include <windows.h>

#include "ui/WindowEventQueue.h"

namespace velozor {

// Queues the event `message` to `window` stands for and returns true; returns false for a
// message the event loop does not hear, which the window procedure passes on. A WM_PAINT is
// answered here (the class brush and the label draw everything); a WM_CLOSE is only queued,
// since the game decides whether the window closes.
bool queueWindowEvent(HWND window, UINT message, WPARAM wParam, WindowEventQueue& queue);

}  // namespace velozor
