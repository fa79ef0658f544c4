// Figures measured on generated sounds, so the tests can judge what no one can listen to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

std::vector<float> channel(const AudioBuffer& audio, int index);

// All channels averaged into one.
std::vector<float> downmix(const AudioBuffer& audio);

// RMS in dB of each consecutive window of `windowSeconds`.
std::vector<double> windowedRmsDb(const std::vector<float>& mono, double windowSeconds);

// The power of `frames` frames from `from` on (to the end by default) at `pitchesHz` together,
// in dB on rmsDb's scale (a sine of amplitude 1 on one of them reads -3 dB). Read in Hann windows
// of 8192 frames overlapping by half, each at those frequencies alone (Goertzel), so power within
// about 10 Hz of a pitch counts too; a sound shorter than one window is padded with silence.
double pitchPowerDb(const std::vector<float>& mono, const std::vector<double>& pitchesHz,
                    std::size_t from = 0, std::size_t frames = SIZE_MAX);

// An MP3 file at kSampleRate decoded with libmpg123. Throws std::runtime_error with libmpg123's
// message when the file cannot be decoded or is at another rate.
AudioBuffer decodeMp3(const std::filesystem::path& file);

}  // namespace velozor::soundpack
