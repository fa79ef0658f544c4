// Oscillators built on a phase in cycles; polyBLEP smooths the discontinuities.
#include "tools/soundpack/Oscillator.h"

#include <cmath>
#include <numbers>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

namespace {

// The polynomial band-limited step residual at phase t for a step of width dt.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

Oscillator::Oscillator(Waveform waveform, double frequencyHz, double startPhase)
    : waveform_(waveform), phase_(startPhase - std::floor(startPhase)), increment_(0.0) {
    setFrequency(frequencyHz);
}

void Oscillator::setFrequency(double frequencyHz) {
    increment_ = frequencyHz / kSampleRate;
}

float Oscillator::next() {
    double value = 0.0;
    const double t = phase_;
    const double dt = increment_;
    switch (waveform_) {
        case Waveform::Sine:
            value = std::sin(2.0 * std::numbers::pi * t);
            break;
        case Waveform::Sawtooth:
            value = 2.0 * t - 1.0 - polyBlep(t, dt);
            break;
        case Waveform::Square:
            value =
                (t < 0.5 ? 1.0 : -1.0) + polyBlep(t, dt) - polyBlep(std::fmod(t + 0.5, 1.0), dt);
            break;
        case Waveform::Triangle:
            // Its harmonics fall off as 1/n^2, so the plain shape aliases too little to hear.
            value = 4.0 * std::abs(t - 0.5) - 1.0;
            break;
    }
    phase_ += increment_;
    phase_ -= std::floor(phase_);
    return static_cast<float>(value);
}

}  // namespace velozor::soundpack
