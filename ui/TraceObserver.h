// The loop's events written to a stream as they happen, for VELOZOR_TRACE=1: a way to
// watch the real program (and for its tests to see a key reach Form_KeyDown).
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/Clock.h"
#include "ui/LoopObserver.h"

namespace velozor {

// One line per event: the clock's time in milliseconds with three decimals, a tab, and the
// event as the simulator names it ("load", "tick", "key 37", "timer on", "close", ...).
class TraceObserver final : public LoopObserver {
public:
    explicit TraceObserver(const Clock& clock, std::FILE* out = stderr)
        : clock_(clock), out_(out) {}

    void onLoad() override { line("load"); }
    void onTick() override { line("tick"); }
    void onKey(int16_t keyCode) override;
    void onClose() override { line("close"); }
    void onUnload() override { line("unload"); }
    void onExit() override { line("exit"); }
    void onEnd() override { line("end"); }
    void onTimerSet(bool enabled) override { line(enabled ? "timer\ton" : "timer\toff"); }

private:
    void line(const char* event);

    const Clock& clock_;
    std::FILE* out_;
};

}  // namespace velozor
