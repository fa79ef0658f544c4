// The one place where the program chooses its real sound back end.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/Language.h"
#include "sound/mixer/MixerPlatform.h"

namespace velozor {

// Opens the audio device (starting SDL's audio subsystem if needed) and returns the SDL2_mixer
// back end (its silence() is for the end of the process). When SDL's audio cannot start or no
// device can be opened, returns nullptr and sets `error` to a one-line message that says what
// failed and what to do. `showError` shows the music's failures to the player (see
// MixerOptions::showError); empty: SDL's message box. The messages are in `language`, the
// player's.
std::unique_ptr<MixerPlatform> openMixerPlatform(
    std::string& error, Language language,
    std::function<void(const std::string& message)> showError = {});

}  // namespace velozor
