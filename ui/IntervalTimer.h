// Timer1's schedule: deadlines on a grid of whole intervals from the moment it was last
// switched on, missed deadlines folded into one tick, nothing due while it is off.
#pragma once

#include <chrono>
#include <optional>

#include "base/Clock.h"
#include "game/GameRules.h"

namespace velozor {

class IntervalTimer {
public:
    static constexpr Micros kInterval = std::chrono::milliseconds(kTickMilliseconds);

    // The timer is enabled when the window is created, at `createdAt`.
    explicit IntervalTimer(Micros createdAt) { setEnabled(true, createdAt); }

    // On: the grid restarts at `now`, so the next tick is a full interval away.
    // Off: a due tick is dropped.
    void setEnabled(bool enabled, Micros now) {
        enabled_ = enabled;
        if (enabled) {
            origin_ = now;
            next_ = now + kInterval;
        }
    }
    std::optional<Micros> nextDeadline() const {
        return enabled_ ? std::optional<Micros>(next_) : std::nullopt;
    }
    bool due(Micros now) const { return enabled_ && now >= next_; }
    // Takes every deadline up to `now`: one tick for all the missed ones, and no drift.
    void consume(Micros now) { next_ = origin_ + kInterval * ((now - origin_) / kInterval + 1); }

private:
    bool enabled_ = false;
    Micros origin_{0};
    Micros next_{0};
};

}  // namespace velozor
