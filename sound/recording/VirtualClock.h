// The recorded world's time: a clock that moves only when told to. The simulator moves it
// while the program waits, the recording back end while a synchronous sound plays; the tests
// move it by hand. The real program never has one.
#pragma once

#include "base/Clock.h"

namespace velozor {

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
