// The game's tick: music, engine, crash, lives, levels and the end of a game, then the
// obstacle scheduler.
#pragma once

#include "game/GameContext.h"

namespace velozor {

// One firing of Timer1.
void Timer1_Timer(GameContext& game);

}  // namespace velozor
