// The window system as the event loop sees it: a queue of events and the window's few verbs.
// Each platform's folder under ui/ holds a real one (an SDL window, a Win32 window); the
// simulator's reads its events from a scenario.
#pragma once

#include <optional>
#include <string>

#include "base/Clock.h"
#include "ui/WindowEvent.h"

namespace velozor {

class WindowSystem {
public:
    enum class WaitResult {
        Ready,  // an event is pending, or the deadline has been reached
        Stop,   // the run is over (the simulator's end time); the loop stops at once
    };

    virtual ~WindowSystem() = default;

    // Waits until an event is pending or the clock reaches `deadline` (none: wait for an
    // event). Returns at once if an event is already pending or the deadline has passed.
    virtual WaitResult waitForEvent(std::optional<Micros> deadline) = 0;
    // The oldest pending event, or nullopt when none has arrived by now.
    virtual std::optional<WindowEvent> nextEvent() = 0;

    virtual void setCredits(const std::string& text) = 0;  // the label's caption
    virtual void show() = 0;                               // makes the window visible
    virtual void focus() = 0;  // keyboard focus within the program, never from another one
    virtual void close() = 0;  // the window goes away; no more events are read
};

}  // namespace velozor
