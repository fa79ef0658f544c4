// Figures measured on generated sounds, so the tests can judge what no one can listen to.
#pragma once

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
    // Total power in `bins`, in dB.
    double powerDb(const std::vector<std::size_t>& bins) const;
    // Total power in all bins, in dB.
    double totalDb() const;
};

// The spectrum of each Hann window of `windowFrames` (a power of two), the windows overlapping
// by half; a sound shorter than one window is padded with silence.
std::vector<Spectrum> spectraOverTime(const std::vector<float>& mono,
                                      std::size_t windowFrames = 8192);

// The spectra of a run of windows averaged: the spectrum of the whole stretch they cover.
Spectrum average(std::vector<Spectrum>::const_iterator first,
                 std::vector<Spectrum>::const_iterator last);

// The whole sound's spectrum, averaged over its windows.
Spectrum powerSpectrum(const std::vector<float>& mono, std::size_t windowFrames = 8192);

// An MP3 file decoded with libmpg123.
struct DecodedMp3 {
    int sampleRate = 0;
    AudioBuffer audio;
};

// Throws std::runtime_error with libmpg123's message when the file cannot be decoded.
DecodedMp3 decodeMp3(const std::filesystem::path& file);

}  // namespace velozor::soundpack
