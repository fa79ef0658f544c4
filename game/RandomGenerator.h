// The game's generator: a fixed start state, so a run draws the same numbers until its first
// reseed, and reseeds from the clock the event loop hands in.
#pragma once

#include <cstdint>

#include "base/Clock.h"
#include "game/RandomSource.h"

namespace velozor {

class RandomGenerator final : public RandomSource {
public:
    explicit RandomGenerator(const Clock& clock) : clock_(clock) {}

    void randomize() override;
    float rnd() override;

private:
    const Clock& clock_;
    uint64_t state_ = kStartState;

    static constexpr uint64_t kStartState = 0x853c49e6748fea9bULL;
};

}  // namespace velozor
