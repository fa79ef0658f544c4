// What the player reads when the music cannot start: the two message boxes of the music's
// commands (its open, then its play), in the player's language, naming the file and saying what
// to do, and the box of any other failed command. MusicErrorBoxes chooses among them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Language.h"

namespace velozor {

// The box of a failed "OPEN file". `file` is the music file as the player would find it (empty
// when not even its name is known); `error` is the MciError of the open.
std::string musicOpenFailedText(Language language, std::string_view file, uint32_t error);

// The box of the "PLAY" that follows a failed open of the same file: it can only fail, and
// says so, so the player does not look for a second fault.
std::string musicPlayAfterFailedOpenText(Language language, std::string_view file);

// The box of any other command run through mciExecute that fails (the game sends none that
// can): the command and the error's code.
std::string soundCommandFailedText(Language language, std::string_view command, uint32_t error);

}  // namespace velozor
