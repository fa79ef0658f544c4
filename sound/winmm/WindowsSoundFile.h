// The game's sound files on a Windows disk: found and opened by their wide paths, so a folder
// name in any script works whatever the ANSI code page, and told apart by their headers.
#pragma once

#include <string>

#include "sound/SoundFolderCheck.h"

namespace velozor {

// The file at `path` (UTF-8, as the game writes it, backslashed), opened when it is a regular
// file. Its `path` is the game's path itself: Windows opens it as it is.
SoundFileOnDisk findWindowsSoundFile(const std::string& path);

}  // namespace velozor
