// The sounds of an obstacle on its way: one timbre per lane, seven loudness steps, and two sets,
// one placed in stereo and one with no side.
#pragma once

#include <vector>

#include "game/GameRules.h"
#include "sound/SoundCatalogue.h"
#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

enum class Lane { Left, Centre, Right };

// The stereo set places each lane on its side; the mono set has the same sounds with identical
// channels, so the player must tell the lane by timbre alone.
using velozor::ApproachSet;

// Steps are named "0" (nearest, loudest) to "6" (farthest, quietest).
inline constexpr int kNearestStep = kNearestApproachStep;
inline constexpr int kFarthestStep = kFarthestApproachStep;

// Length of every approach sound: one tick of the game, in seconds.
inline constexpr double kApproachSeconds = kTickMilliseconds / 1000.0;

// Level of a step in dB, relative to the nearest step: 3.5 dB quieter per step away.
double approachStepDb(int step);

// The lane's motif at the nearest step's level, mono, kApproachSeconds long:
// left, a low humming buzz throbbing fast; centre, two mid beeps; right, three high tings.
std::vector<float> laneMotif(Lane lane);

// Where the ear hears the lane, in Hz: the motif's partials and, for the left hum, the sidebands
// of its throb. The music keeps off these pitches so nothing in it sounds like an obstacle.
std::vector<double> lanePitchesHz(Lane lane);

// The finished file content: stereo frames in both sets (the mono set's two channels are the
// same). `step` is clamped to kNearestStep..kFarthestStep.
AudioBuffer approachSound(Lane lane, ApproachSet set, int step);

}  // namespace velozor::soundpack
