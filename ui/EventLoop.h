// The one event loop of the program and of the simulator, with the rules of the message queue
// the game was written against: one thread, each handler runs to its end, input is handled in
// arrival order and before a due tick, and the timer's missed deadlines fold into one tick.
#pragma once

#include "base/Clock.h"
#include "ui/FormHost.h"
#include "ui/IntervalTimer.h"
#include "ui/LoopObserver.h"
#include "ui/WindowSystem.h"

namespace velozor {

class Form1;

class EventLoop final : public FormHost {
public:
    // The window (and with it Timer1, enabled) is created now, at the clock's current time.
    EventLoop(const Clock& clock, WindowSystem& window, LoopObserver& observer);

    // Loads `form` and runs its events until the window is unloaded (exit status 0) or the
    // window system stops the run (the simulator's end, also 0).
    int run(Form1& form);

    void setTimerEnabled(bool enabled) override;
    void setCredits(const std::string& text) override;
    void showWindow() override;
    void focusWindow() override;
    void unloadWindow() override;

    const IntervalTimer& timer1() const { return timer_; }

private:
    void handle(const WindowEvent& event);

    const Clock& clock_;
    WindowSystem& window_;
    LoopObserver& observer_;
    IntervalTimer timer_;
    Form1* form_ = nullptr;
    bool unloaded_ = false;
};

}  // namespace velozor
