// The numbers that pace a game: the tick, the engine loop, the crashes a game allows, the
// obstacles of a level and the level that completes the game.
#pragma once

#include <cstdint>

namespace velozor {

// One tick of Timer1, in milliseconds: the game advances once per tick, and each approach
// sound lasts one tick.
inline constexpr int kTickMilliseconds = 500;

// The engine sound is restarted every this many ticks of the program's life, so the engine
// file lasts exactly this many ticks.
inline constexpr uint8_t kEngineLoopTicks = 25;

// The crash that ends a game.
inline constexpr uint8_t kCrashesPerGame = 3;

// A level ends when this many obstacles have been spawned in it; the end-of-level cue comes
// when the earlier count is reached.
inline constexpr uint8_t kObstaclesPerLevel = 15;
inline constexpr uint8_t kEndOfLevelCueObstacles = 11;

// The level after the last one: reaching it completes the game.
inline constexpr uint8_t kCompletedLevel = 4;

// A new game's first obstacle, the one left over from the last game, arrives on this tick.
inline constexpr int16_t kNewGameFirstArrival = 12;

}  // namespace velozor
