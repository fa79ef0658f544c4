// The obstacle scheduler's random numbers: a uniform draw and a reseed from the clock.
#pragma once

namespace velozor {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Reseeds the generator from the clock.
    virtual void randomize() = 0;
    // The next uniform number u, 0 <= u < 1, in single precision.
    virtual float rnd() = 0;
};

}  // namespace velozor
