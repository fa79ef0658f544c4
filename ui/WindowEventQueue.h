// The events a real window has received and the event loop has not yet read, kept as a Windows
// message queue keeps them: in arrival order, one pending paint for any number of repaints, and
// the window's close asked for once. Every real window (SDL, Win32, the web page) fills one from
// its own events; it knows none of them.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "ui/WindowEvent.h"

namespace velozor {

class WindowEventQueue {
public:
    // `keyCode` is a Windows virtual-key code, `shift` the shift state (Shift 1, Ctrl 2, Alt 4).
    void pushKey(int16_t keyCode, int16_t shift);
    // Adds nothing while a paint is still pending: like WM_PAINT, it stands for every repaint
    // asked for until it is read.
    void pushPaint();
    // Only the first close request of the window's life is queued: closing the last SDL window
    // gives both a window close and SDL_QUIT, and the game is asked once.
    void pushClose();

    bool empty() const { return pending_.empty(); }
    // The oldest pending event, taken off the queue, or nullopt when none is pending.
    std::optional<WindowEvent> pop();
    // Drops the pending events (the window went away); a close request is still never repeated.
    void clear() { pending_.clear(); }

private:
    std::deque<WindowEvent> pending_;
    bool closeQueued_ = false;
};

}  // namespace velozor
