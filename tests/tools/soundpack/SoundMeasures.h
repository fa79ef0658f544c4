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

// An MP3 file decoded with libmpg123.
struct DecodedMp3 {
    int sampleRate = 0;
    AudioBuffer audio;
};

// Throws std::runtime_error with libmpg123's message when the file cannot be decoded.
DecodedMp3 decodeMp3(const std::filesystem::path& file);

}  // namespace velozor::soundpack
