// The event loop.
#include "ui/EventLoop.h"

#include "ui/Form1.h"

namespace velozor {

EventLoop::EventLoop(const Clock& clock, WindowSystem& window, LoopObserver& observer)
    : clock_(clock), window_(window), observer_(observer), timer_(clock.now()) {}

int EventLoop::run(Form1& form) {
    form_ = &form;
    observer_.onLoad();
    form.Form_Load();
    while (!unloaded_) {
        if (window_.waitForEvent(timer_.nextDeadline()) == WindowSystem::WaitResult::Stop) {
            observer_.onEnd();
            return 0;
        }
        if (const std::optional<WindowEvent> event = window_.nextEvent()) {
            handle(*event);
        } else if (timer_.due(clock_.now())) {
            timer_.consume(clock_.now());
            observer_.onTick();
            form.Timer1_Timer();
        }
    }
    observer_.onExit();
    window_.close();
    return 0;
}

void EventLoop::handle(const WindowEvent& event) {
    switch (event.kind) {
        case WindowEvent::Kind::KeyDown: {
            observer_.onKey(event.keyCode);
            int16_t keyCode = event.keyCode;
            form_->Form_KeyDown(keyCode, event.shift);
            break;
        }
        case WindowEvent::Kind::CloseRequest:
            observer_.onClose();
            unloadWindow();
            break;
        case WindowEvent::Kind::Paint:
            form_->Form_Paint();
            break;
    }
}

void EventLoop::setTimerEnabled(bool enabled) {
    observer_.onTimerSet(enabled);
    timer_.setEnabled(enabled, clock_.now());
}

void EventLoop::setCredits(const std::string& text) {
    window_.setCredits(text);
}

void EventLoop::showWindow() {
    window_.show();
}

void EventLoop::focusWindow() {
    window_.focus();
}

void EventLoop::unloadWindow() {
    if (unloaded_)
        return;
    observer_.onUnload();
    int16_t cancel = 0;
    form_->Form_Unload(cancel);
    unloaded_ = true;
}

}  // namespace velozor
