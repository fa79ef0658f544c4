// The simulator's window system.
#include "tools/sim/ScenarioWindow.h"

#include <algorithm>

namespace velozor::sim {

ScenarioWindow::ScenarioWindow(ScenarioReader& scenario, VirtualClock& clock)
    : scenario_(scenario), clock_(clock) {}

void ScenarioWindow::learnInputUpTo(Micros time) {
    // Directives come in time order, so once one lies beyond `time` nothing unread comes before.
    while (!endOfInput_ && knownUntil_ <= time &&
           (arrivals_.empty() || arrivals_.front().time > time)) {
        const std::optional<TimedDirective> directive = scenario_.next();
        if (!directive) {
            endOfInput_ = true;
            break;
        }
        knownUntil_ = directive->time;
        if (directive->kind == TimedDirective::Kind::Key) {
            arrivals_.push_back(
                {directive->time, WindowEvent{WindowEvent::Kind::KeyDown, directive->keyCode, 0}});
        } else if (directive->kind == TimedDirective::Kind::Close) {
            arrivals_.push_back({directive->time, WindowEvent{WindowEvent::Kind::CloseRequest}});
        }
    }
}

WindowSystem::WaitResult ScenarioWindow::waitForEvent(std::optional<Micros> deadline) {
    const Micros until = scenario_.until();
    const Micros now = clock_.now();
    if (now >= until)
        return WaitResult::Stop;

    const Micros horizon = std::max(now, deadline ? std::min(*deadline, until) : until);
    learnInputUpTo(horizon);
    if (!arrivals_.empty() && arrivals_.front().time <= horizon) {
        // Input wins a tie with the timer: it is handled before a due tick.
        if (arrivals_.front().time >= until) {
            clock_.advanceTo(until);
            return WaitResult::Stop;
        }
        clock_.advanceTo(arrivals_.front().time);
        return WaitResult::Ready;
    }
    if (deadline && *deadline < until) {
        clock_.advanceTo(*deadline);
        return WaitResult::Ready;
    }
    clock_.advanceTo(until);
    return WaitResult::Stop;
}

std::optional<WindowEvent> ScenarioWindow::nextEvent() {
    learnInputUpTo(clock_.now());
    if (arrivals_.empty() || arrivals_.front().time > clock_.now())
        return std::nullopt;
    const WindowEvent event = arrivals_.front().event;
    arrivals_.pop_front();
    return event;
}

}  // namespace velozor::sim
