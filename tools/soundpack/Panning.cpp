// Constant-power panning with a small interaural delay.
#include "tools/soundpack/Panning.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velozor::soundpack {

namespace {

// Largest delay of the far ear, reached at the hard sides; about a head's width of travel.
constexpr double kMaxInterauralDelaySeconds = 0.0004;

}  // namespace

AudioBuffer placeInStereo(const std::vector<float>& mono, StereoPosition position) {
    position = std::clamp(position, -1.0, 1.0);
    const double theta = (position + 1.0) * std::numbers::pi / 4.0;
    const auto leftGain = static_cast<float>(std::cos(theta));
    const auto rightGain = static_cast<float>(std::sin(theta));
    const std::size_t delay = framesFor(kMaxInterauralDelaySeconds * std::abs(position));
    const std::size_t leftDelay = position > 0.0 ? delay : 0;
    const std::size_t rightDelay = position < 0.0 ? delay : 0;

    AudioBuffer stereo;
    stereo.channels = 2;
    stereo.samples.assign(mono.size() * 2, 0.0f);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        if (i >= leftDelay) {
            stereo.samples[2 * i] = leftGain * mono[i - leftDelay];
        }
        if (i >= rightDelay) {
            stereo.samples[2 * i + 1] = rightGain * mono[i - rightDelay];
        }
    }
    return stereo;
}

AudioBuffer duplicateToStereo(const std::vector<float>& mono) {
    return placeInStereo(mono, 0.0);
}

AudioBuffer asMono(std::vector<float> mono) {
    AudioBuffer buffer;
    buffer.channels = 1;
    buffer.samples = std::move(mono);
    return buffer;
}

}  // namespace velozor::soundpack
