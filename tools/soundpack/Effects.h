// The synthesized effects of the game: the engine, the dodge reward, the brake, the horn, the
// crash, and the short signals of the introduction. All mono, at kSampleRate.
#pragma once

#include <vector>

#include "game/GameRules.h"

namespace velozor::soundpack {

// Length of the engine loop, in seconds: the game restarts it every kEngineLoopTicks ticks.
inline constexpr double kEngineSeconds = kEngineLoopTicks * (kTickMilliseconds / 1000.0);

// A steady, low engine rumble, kEngineSeconds long and far below the cues (about -40 dB RMS, off
// the farthest approach sounds' way).
std::vector<float> engine();

// The reward for a dodged obstacle: two quick rising chimes, about 0.3 s.
std::vector<float> dodgeChime();

// Tyres squealing under hard braking, about 0.9 s.
std::vector<float> brakeSqueal();

// A two-tone car horn, about 0.7 s.
std::vector<float> horn();

// A crash: a thud, a burst of noise and metal ringing out, about 0.7 s.
std::vector<float> crash();

// A rising four-note flourish for the title, about 0.8 s.
std::vector<float> titleFlourish();

// A short beep for a count-in: low for each number, high for the final "go".
enum class BeepPitch { Low, High };
std::vector<float> countBeep(BeepPitch pitch);

}  // namespace velozor::soundpack
