// The start of a game, and the record's compile-time guarantees in one place.
#include "game/GameState.h"

namespace velozor {

void resetForNewGame(GameState& state) {
    state.paso = 0;
    state.carril = 0;
    state.choques = 0;
    state.nivel = 1;
    state.obstaculosNivel = 0;
}

static_assert(wrapIncrement<int16_t>(32767) == -32768, "16-bit counters wrap");
static_assert(wrapIncrement<uint8_t>(255) == 0, "8-bit counters wrap");
static_assert(isOdd(-32767) && !isOdd(-32768), "parity holds for negative counts");

}  // namespace velozor
