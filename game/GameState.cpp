// GameState is a plain record; this file keeps its compile-time guarantees in one place.
#include "game/GameState.h"

namespace velozor {

static_assert(wrapIncrement<int16_t>(32767) == -32768, "16-bit counters wrap");
static_assert(wrapIncrement<uint8_t>(255) == 0, "8-bit counters wrap");
static_assert(isOdd(-32767) && !isOdd(-32768), "parity holds for negative counts");

}  // namespace velozor
