// Placing a mono sound in the stereo field, so the player hears on which side it is.
#pragma once

#include <vector>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

// Position in the stereo field: -1 hard left, 0 centre, +1 hard right.
using StereoPosition = double;

// Constant-power panning: the left gain is cos(theta) and the right sin(theta), with theta
// running from 0 (hard left) to pi/2 (hard right), so the total power is the same anywhere.
// The ear further from the source also hears it later, by up to 0.4 ms at the hard sides,
// which helps a listener on headphones place it.
AudioBuffer placeInStereo(const std::vector<float>& mono, StereoPosition position);

// Both channels identical, each at the centre gain of placeInStereo, so the sound has the
// same loudness as a placed one but no side.
AudioBuffer duplicateToStereo(const std::vector<float>& mono);

// One channel, unchanged.
AudioBuffer asMono(std::vector<float> mono);

}  // namespace velozor::soundpack
