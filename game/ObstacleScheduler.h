// The obstacle scheduler: spawns each obstacle with its lane and arrival tick, plays its
// approach louder tick by tick, and in level 1 names its lane aloud.
#pragma once

#include "game/GameContext.h"

namespace velozor {

// Called once per tick, as the tick's last step, after paso has advanced.
void obstaculos(GameContext& game);

// Sets pasoVolumen from the obstacle's distance d = llegada - paso: "6" at d = 7 down to "0" at
// d = 1; any other distance leaves it as it is.
void volumen(GameState& state);

// The arrival delay, in ticks, for a uniform draw u (0 <= u < 1; any other u fails an
// assertion).
int16_t arrivalDelay(float u);
// The lane, -1, 0 or 1, for a uniform draw u (0 <= u < 1; any other u fails an assertion).
int16_t randomLane(float u);

}  // namespace velozor
