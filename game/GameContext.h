// Everything the game's logic works on: its record, its sound services, its timer switch and
// its random numbers, handed in by the window that owns them.
#pragma once

#include "game/GameState.h"
#include "game/RandomSource.h"
#include "game/TimerSwitch.h"
#include "sound/SoundServices.h"

namespace velozor {

// The record's three variables that the sound services write.
inline SoundResults soundResultsOf(GameState& state) {
    return {state.rutaCorta, state.resMci, state.resSonido};
}

struct GameContext {
    GameState& state;
    SoundServices& sound;
    TimerSwitch& timer1;
    RandomSource& random;
};

}  // namespace velozor
