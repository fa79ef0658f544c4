// The back end's own default sound: a short beep played in place of a one-shot file that is
// missing or cannot be decoded, so the player hears that something was meant to sound.
#pragma once

#include <cstdint>
#include <vector>

namespace velozor {

// Length of the default tone, in milliseconds.
inline constexpr int kDefaultToneMillis = 250;

// The default tone as interleaved signed 16-bit samples (native byte order) for `channels`
// channels at `frequency` Hz: an 880 Hz sine at a quarter of full scale with 10 ms fades at
// both ends, so it neither clicks nor startles.
std::vector<int16_t> makeDefaultTone(int frequency, int channels);

}  // namespace velozor
