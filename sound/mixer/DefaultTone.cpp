// Generation of the default tone.
#include "sound/mixer/DefaultTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velozor {

std::vector<int16_t> makeDefaultTone(int frequency, int channels) {
    constexpr double kPitchHz = 880.0;
    constexpr double kAmplitude = 0.25 * 32767.0;
    constexpr double kFadeSeconds = 0.010;
    const int frames = frequency * kDefaultToneMillis / 1000;
    const double fadeFrames = kFadeSeconds * frequency;
    std::vector<int16_t> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (int frame = 0; frame < frames; ++frame) {
        const double fade = std::min({1.0, frame / fadeFrames, (frames - 1 - frame) / fadeFrames});
        const double value =
            kAmplitude * fade * std::sin(2.0 * std::numbers::pi * kPitchHz * frame / frequency);
        const auto sample = static_cast<int16_t>(std::lround(value));
        for (int channel = 0; channel < channels; ++channel) {
            samples[static_cast<size_t>(frame) * channels + channel] = sample;
        }
    }
    return samples;
}

}  // namespace velozor
