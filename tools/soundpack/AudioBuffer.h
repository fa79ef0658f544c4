// A block of sampled sound, the unit every generator of the sound folder produces and every
// file writer consumes.
#pragma once

#include <cstddef>
#include <vector>

namespace velozor::soundpack {

// Every file of the sound folder is written at this rate, in frames per second.
inline constexpr int kSampleRate = 44100;

// Interleaved samples (left, right, left, ... when stereo), nominally within [-1, 1].
struct AudioBuffer {
    int channels = 1;
    std::vector<float> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double seconds() const { return static_cast<double>(frames()) / kSampleRate; }
};

// Number of frames in a span of time at kSampleRate, rounded to the nearest frame.
inline std::size_t framesFor(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(seconds * kSampleRate + 0.5);
}

}  // namespace velozor::soundpack
