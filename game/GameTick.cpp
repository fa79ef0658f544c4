// The game's tick.
#include "game/GameTick.h"

namespace velozor {

void Timer1_Timer(GameContext& /*game*/) {}

}  // namespace velozor
