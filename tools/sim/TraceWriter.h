// Writes the simulator's trace: one line per event, tab-separated, stamped with the virtual
// millisecond at which it began, flushed at once so that a driver can answer in lockstep.
#pragma once

#include <ostream>
#include <string>

#include "base/Clock.h"
#include "sound/recording/RecordingPlatform.h"
#include "ui/LoopObserver.h"

namespace velozor::sim {

class TraceWriter final : public LoopObserver {
public:
    TraceWriter(std::ostream& out, const Clock& clock) : out_(out), clock_(clock) {}

    void onLoad() override { line("load"); }
    void onTick() override { line("tick"); }
    void onKey(int16_t keyCode) override { line("key\t" + std::to_string(keyCode)); }
    void onClose() override { line("close"); }
    void onUnload() override { line("unload"); }
    void onExit() override { line("exit"); }
    void onEnd() override { line("end"); }
    void onTimerSet(bool enabled) override { line(enabled ? "timer\ton" : "timer\toff"); }

    void platformCall(const PlatformCall& call) { line(call.time, call.fields()); }
    // A line stamped with the clock's current time.
    void line(const std::string& fields) { line(clock_.now(), fields); }

private:
    void line(Micros time, const std::string& fields);

    std::ostream& out_;
    const Clock& clock_;
};

}  // namespace velozor::sim
