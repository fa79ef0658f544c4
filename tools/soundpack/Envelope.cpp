// Fades and decays as plain functions of time, so every sound shapes its notes the same way.
#include "tools/soundpack/Envelope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

void applyFades(std::vector<float>& mono, double fadeInSeconds, double fadeOutSeconds) {
    const std::size_t size = mono.size();
    const std::size_t fadeIn = std::min(framesFor(fadeInSeconds), size / 2);
    const std::size_t fadeOut = std::min(framesFor(fadeOutSeconds), size / 2);
    for (std::size_t i = 0; i < fadeIn; ++i) {
        const double x = static_cast<double>(i) / fadeIn;
        mono[i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
    }
    for (std::size_t i = 0; i < fadeOut; ++i) {
        const double x = static_cast<double>(i + 1) / fadeOut;
        mono[size - fadeOut + i] *= static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * x));
    }
}

float strikeEnvelope(double seconds, double attackSeconds, double decaySeconds) {
    if (seconds < 0.0) {
        return 0.0f;
    }
    if (seconds < attackSeconds) {
        return static_cast<float>(seconds / attackSeconds);
    }
    // -60 dB is a factor of 1000: exp(-ln(1000) * t / decay).
    return static_cast<float>(std::exp(-6.907755 * (seconds - attackSeconds) / decaySeconds));
}

}  // namespace velozor::soundpack
