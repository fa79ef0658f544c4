// Time as the game's surroundings hand it in: a real clock in the program, a virtual one in
// the simulator and the tests. The game's logic never reads a clock of its own.
#pragma once

#include <chrono>

namespace velozor {

using Micros = std::chrono::microseconds;

class Clock {
public:
    virtual ~Clock() = default;
    // Time since the program started; never decreases.
    virtual Micros now() const = 0;
};

// A clock that moves only when told to: the simulator's and the tests'.
class VirtualClock final : public Clock {
public:
    Micros now() const override { return now_; }
    // Moves the clock forward to `time`; an earlier time leaves it where it is.
    void advanceTo(Micros time) {
        if (time > now_)
            now_ = time;
    }
    void advanceBy(Micros duration) { now_ += duration; }

private:
    Micros now_{0};
};

}  // namespace velozor
