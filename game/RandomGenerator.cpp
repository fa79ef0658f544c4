// A permuted congruential generator (PCG32, XSH-RR output) whose draws are 24-bit fractions,
// so every u is exactly representable as a float and strictly below 1.
#include "game/RandomGenerator.h"

namespace velozor {

namespace {

constexpr uint64_t kMultiplier = 6364136223846793005ULL;
constexpr uint64_t kIncrement = 1442695040888963407ULL;

// splitmix64 finaliser: spreads the few changing bits of a clock reading over the whole state.
uint64_t mix(uint64_t value) {
    value += 0x9e3779b97f4a7c15ULL;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

}  // namespace

void RandomGenerator::randomize() {
    state_ = mix(static_cast<uint64_t>(clock_.now().count()));
}

float RandomGenerator::rnd() {
    const uint64_t old = state_;
    state_ = old * kMultiplier + kIncrement;
    const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<uint32_t>(old >> 59u);
    const uint32_t output = (xorshifted >> rotation) | (xorshifted << ((32u - rotation) & 31u));
    // The top 24 bits over 2^24: exact in single precision, 0 <= u < 1.
    return static_cast<float>(output >> 8) * (1.0f / 16777216.0f);
}

}  // namespace velozor
