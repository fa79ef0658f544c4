// Where the game's sounds are on disk: the folder for the player's language beside the program,
// or the player's own one, made with velozor-soundpack in the player's data folder on Linux.
#pragma once

#include <string>

#include "base/Language.h"

namespace velozor {

// The sound folder's name for `language`, beside the program and in the player's data folder:
// "sonidos" (Spanish, the one the game's own paths name) or "sounds" (English).
const char* soundFolderName(Language language);

// The player's data folder for Velozor: $XDG_DATA_HOME/velozor, or $HOME/.local/share/velozor
// when XDG_DATA_HOME is unset, empty or relative (the XDG base directory rules). Empty when
// HOME is needed and unset too.
std::string playerDataFolder(const char* xdgDataHome, const char* home);

// The folder the game plays from on Linux (native paths, no trailing '/'): the player's own
// folder for `language` in `playerData` when it exists, whole or not, else the one beside the
// program in `programFolder`.
std::string chooseSoundFolder(Language language, const std::string& programFolder,
                              const std::string& playerData);

}  // namespace velozor
