// The desktop program's real clock outside Windows: the monotonic system clock, counted from
// the program's start.
#pragma once

#include <chrono>

#include "base/Clock.h"

namespace velozor {

class SteadyClock final : public Clock {
public:
    // Time zero is the moment of construction; make the clock first thing in main.
    SteadyClock() : start_(std::chrono::steady_clock::now()) {}

    // Microseconds since construction; steady_clock never goes back, so neither does this.
    Micros now() const override {
        return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start_);
    }

private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace velozor
