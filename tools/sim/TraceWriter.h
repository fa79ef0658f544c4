// Writes the simulator's trace: one line per event, tab-separated, stamped with the virtual
// millisecond at which it began, flushed at once so that a driver can answer in lockstep.
#pragma once

#include <ostream>
#include <string>

#include "base/Clock.h"
#include "sound/recording/RecordingPlatform.h"
#include "ui/NamedEventObserver.h"

namespace velozor::sim {

class TraceWriter final : public NamedEventObserver {
public:
    TraceWriter(std::ostream& out, const Clock& clock) : out_(out), clock_(clock) {}

    void platformCall(const PlatformCall& call) { line(call.time, call.fields()); }
    // A line stamped with the clock's current time.
    void line(const std::string& fields) { line(clock_.now(), fields); }

private:
    void onEvent(const std::string& name) override { line(name); }
    void line(Micros time, const std::string& fields);

    std::ostream& out_;
    const Clock& clock_;
};

}  // namespace velozor::sim
