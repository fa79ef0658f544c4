// Levels in dB full scale: a full-scale sine reads -3 dB, a full-scale square 0 dB.
#include "tools/soundpack/Level.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velozor::soundpack {

double gainFromDb(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

double dbFromGain(double gain) {
    return gain > 0.0 ? 20.0 * std::log10(gain) : -std::numeric_limits<double>::infinity();
}

double rmsDb(const std::vector<float>& samples) {
    if (samples.empty()) {
        return -std::numeric_limits<double>::infinity();
    }
    double sum = 0.0;
    for (const float sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return dbFromGain(std::sqrt(sum / samples.size()));
}

void setRmsDb(std::vector<float>& samples, double targetDb) {
    const double current = rmsDb(samples);
    if (!std::isfinite(current)) {
        return;
    }
    const auto gain = static_cast<float>(gainFromDb(targetDb - current));
    for (float& sample : samples) {
        sample *= gain;
    }
}

void limitPeak(std::vector<float>& samples, float peak) {
    float highest = 0.0f;
    for (const float sample : samples) {
        highest = std::max(highest, std::abs(sample));
    }
    if (highest > peak) {
        const float gain = peak / highest;
        for (float& sample : samples) {
            sample *= gain;
        }
    }
}

void mixInto(std::vector<float>& destination, const std::vector<float>& source, std::size_t offset,
             float gain) {
    if (destination.size() < offset + source.size()) {
        destination.resize(offset + source.size(), 0.0f);
    }
    for (std::size_t i = 0; i < source.size(); ++i) {
        destination[offset + i] += gain * source[i];
    }
}

}  // namespace velozor::soundpack
