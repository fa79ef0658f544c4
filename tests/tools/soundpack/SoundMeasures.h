// Figures measured on generated sounds, so the tests can judge what no one can listen to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

// One channel of an interleaved buffer.
std::vector<float> channel(const AudioBuffer& audio, int index);

// All channels averaged into one.
std::vector<float> downmix(const AudioBuffer& audio);

// The power-weighted RMS frequency of the sound, in Hz (at kSampleRate): where its energy sits.
double rmsFrequencyHz(const std::vector<float>& mono);

// RMS in dB of each consecutive window of `windowSeconds`.
std::vector<double> windowedRmsDb(const std::vector<float>& mono, double windowSeconds);

// A power spectrum: one figure per bin from 0 Hz to half of kSampleRate, each `binHz` wide,
// scaled so the figures add up to the mean square of the samples.
struct Spectrum {
    double binHz = 0.0;
    std::vector<double> power;

    // The bins within `withinDb` of the strongest one: where the sound's pitches lie.
    std::vector<std::size_t> strongBins(double withinDb) const;
    // Total power in `bins` (all bins when none are given), in dB.
    double powerDb(const std::vector<std::size_t>& bins = {}) const;
};

// The spectrum of `frames` frames from `from` on (to the end by default), averaged over Hann
// windows of 8192 frames overlapping by half; a sound shorter than one window is padded with
// silence.
Spectrum powerSpectrum(const std::vector<float>& mono, std::size_t from = 0,
                       std::size_t frames = SIZE_MAX);

// An MP3 file at kSampleRate decoded with libmpg123. Throws std::runtime_error with libmpg123's
// message when the file cannot be decoded or is at another rate.
AudioBuffer decodeMp3(const std::filesystem::path& file);

}  // namespace velozor::soundpack
