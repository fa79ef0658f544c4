// Whether the video driver SDL chose can reach a player: without a display SDL falls back to
// drivers that draw nowhere and never deliver a key, and the game would run unreachable.
#pragma once

#include <string>

#include "base/Language.h"

namespace velozor {

// For the driver SDL chose (`current`, from SDL_GetCurrentVideoDriver, may be null) and the
// SDL_VIDEODRIVER setting (`requested`, a comma-separated list of names, may be null): true when
// a player can reach the window, i.e. the driver shows one or was asked for by name (tests run
// the window on "dummy" or "offscreen" on purpose). Otherwise false, with `refusal` saying why
// in `language`.
bool videoDriverReachesPlayer(const char* current, const char* requested, Language language,
                              std::string& refusal);

}  // namespace velozor
