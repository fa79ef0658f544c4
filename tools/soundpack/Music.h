// The background music: a calm generated tune that loops under play.
#pragma once

#include <vector>

namespace velozor::soundpack {

// Length of the tune, in seconds: 40 bars at 96 beats per minute.
inline constexpr double kMusicSeconds = 100.0;

// The tune as mono samples at kSampleRate, kMusicSeconds long, at about -35 dB RMS so speech
// and approach sounds stay clear over it. The same on every call.
std::vector<float> backgroundMusic();

}  // namespace velozor::soundpack
