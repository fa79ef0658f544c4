// How the mixer back end finds the game's sound files on disk for the start-up check of the
// sound folder: by the path resolver's rules, as it will open them when the game asks.
#pragma once

#include <string>

#include "sound/SoundFolderCheck.h"

namespace velozor {

// The file `gamePath` names as resolveGamePath finds it, opened when it is a regular file. A
// missing one is named by the game's path with '/' for '\'.
SoundFileOnDisk findMixerSoundFile(const std::string& gamePath);

}  // namespace velozor
