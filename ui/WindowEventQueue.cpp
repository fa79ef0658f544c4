// The real windows' event queue: paints folded, the close request queued once.
#include "ui/WindowEventQueue.h"

#include <algorithm>

namespace velozor {

void WindowEventQueue::pushKey(int16_t keyCode, int16_t shift) {
    pending_.push_back({WindowEvent::Kind::KeyDown, keyCode, shift});
}

void WindowEventQueue::pushPaint() {
    const bool paintPending =
        std::any_of(pending_.begin(), pending_.end(),
                    [](const WindowEvent& e) { return e.kind == WindowEvent::Kind::Paint; });
    if (!paintPending)
        pending_.push_back({WindowEvent::Kind::Paint, 0, 0});
}

void WindowEventQueue::pushClose() {
    if (closeQueued_)
        return;
    closeQueued_ = true;
    pending_.push_back({WindowEvent::Kind::CloseRequest, 0, 0});
}

std::optional<WindowEvent> WindowEventQueue::pop() {
    if (pending_.empty())
        return std::nullopt;
    const WindowEvent event = pending_.front();
    pending_.pop_front();
    return event;
}

}  // namespace velozor
