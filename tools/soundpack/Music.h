// The background music: a calm generated tune that loops under play.
#pragma once

#include <vector>

namespace velozor::soundpack {

// Length of the tune, in seconds: 40 bars at 96 beats per minute.
inline constexpr double kMusicSeconds = 100.0;

// The tune as mono samples at kSampleRate, kMusicSeconds long, with an RMS of `levelDb` (dB full
// scale), well under the speech so quick cues stay clear over it. The same on every call.
std::vector<float> backgroundMusic(double levelDb);

}  // namespace velozor::soundpack
