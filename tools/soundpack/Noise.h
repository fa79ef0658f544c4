// A seeded white-noise source: the same seed gives the same noise on every run and machine.
#pragma once

#include <cstdint>

namespace velozor::soundpack {

class Noise {
public:
    // A seed of 0 is replaced by a fixed non-zero one (xorshift cannot leave 0).
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 0x9e3779b9u) {}

    // Uniform in [-1, 1).
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }

private:
    uint32_t state_;
};

}  // namespace velozor::soundpack
