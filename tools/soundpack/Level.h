// Measuring and setting loudness, and laying one sound over another.
#pragma once

#include <cstddef>
#include <vector>

namespace velozor::soundpack {

// Linear gain for a level in decibels, and back.
double gainFromDb(double decibels);
double dbFromGain(double gain);

// Root-mean-square level of the samples in dB relative to full scale; -inf for silence.
double rmsDb(const std::vector<float>& samples);

// Scales the samples so their RMS level is `targetDb`; silence is left as it is.
void setRmsDb(std::vector<float>& samples, double targetDb);

// Scales the samples down, if needed, so that no sample exceeds `peak` in magnitude.
void limitPeak(std::vector<float>& samples, float peak);

// Adds `source` times `gain` into `destination` starting at frame `offset` (both mono),
// growing `destination` when the source runs past its end.
void mixInto(std::vector<float>& destination, const std::vector<float>& source, std::size_t offset,
             float gain = 1.0f);

}  // namespace velozor::soundpack
