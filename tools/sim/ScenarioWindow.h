// The simulator's window system: input comes from the scenario, and waiting moves the virtual
// clock to the next input or timer deadline, never further than the scenario's end time.
#pragma once

#include <deque>

#include "sound/recording/VirtualClock.h"
#include "tools/sim/Scenario.h"
#include "ui/WindowSystem.h"

namespace velozor::sim {

class ScenarioWindow final : public WindowSystem {
public:
    ScenarioWindow(ScenarioReader& scenario, VirtualClock& clock);

    WaitResult waitForEvent(std::optional<Micros> deadline) override;
    std::optional<WindowEvent> nextEvent() override;

    void setCredits(const std::string& /*text*/) override {}
    void show() override {}
    void focus() override {}
    void close() override {}

private:
    struct Arrival {
        Micros time;
        WindowEvent event;
    };

    // Reads directives until every input that arrives at or before `time` is known.
    void learnInputUpTo(Micros time);

    ScenarioReader& scenario_;
    VirtualClock& clock_;
    std::deque<Arrival> arrivals_;  // read, not yet handled, in arrival order
    Micros knownUntil_{0};          // no unread input arrives before this time
    bool endOfInput_ = false;
};

}  // namespace velozor::sim
