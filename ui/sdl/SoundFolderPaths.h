// The game paths of every file in the sound folder, for the start-up check of the folder.
#pragma once

#include <string>
#include <vector>

namespace velozor {

// Each file of the folder "sonidos" as the game asks for it: `programFolder` + "\sonidos\" +
// the name, backslashed.
std::vector<std::string> soundFolderGamePaths(const std::string& programFolder);

}  // namespace velozor
