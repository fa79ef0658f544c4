// The game's tick: music, engine, crash, lives, levels and the end of a game, then the
// obstacle scheduler.
#pragma once

#include "game/GameContext.h"

namespace velozor {

// One firing of Timer1.
void Timer1_Timer(GameContext& game);

// Leaves a game for the menu, as the third crash, the completion of level 3 and Escape do:
// timer off, every sound stopped, the music to start again next game, keys to the menu, and
// the menu's opening sound.
void enterMenu(GameContext& game);

}  // namespace velozor
