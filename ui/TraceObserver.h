// The loop's events written to a stream as they happen, for VELOZOR_TRACE=1: a way to
// watch the real program (and for its tests to see a key reach Form_KeyDown).
#pragma once

#include <cstdio>
#include <string>

#include "base/Clock.h"
#include "base/Language.h"
#include "ui/NamedEventObserver.h"

namespace velozor {

// One line per event: the clock's time in milliseconds with three decimals, a tab, and the
// event as the simulator names it ("load", "tick", "key\t37", "timer\ton", "close", ...).
class TraceObserver final : public NamedEventObserver {
public:
    explicit TraceObserver(const Clock& clock, std::FILE* out = stderr)
        : clock_(clock), out_(out) {}

private:
    void onEvent(const std::string& name) override;

    const Clock& clock_;
    std::FILE* out_;
};

// Whether VELOZOR_TRACE asks for a trace: "1" does; unset, empty and "0" do not; any other value
// is named on standard error as ignored, in `language`.
bool traceRequested(Language language);

}  // namespace velozor
