// Time as the game's surroundings hand it in: a real clock in the program, a virtual one in
// the simulator and the tests (sound/recording/VirtualClock.h). The game's logic never reads
// a clock of its own.
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

}  // namespace velozor
