// STAND-IN for the game's own list of sound paths: until that list lives in sound/, the names
// come from the sound-folder tool's catalogue, written out at build time (ListSoundPaths.cpp).
#include "ui/sdl/SoundFolderPaths.h"

namespace velozor {

std::vector<std::string> soundFolderGamePaths(const std::string& programFolder) {
    static const char* const kNames[] = {
#include "SoundFolderNames.inc"
    };
    std::vector<std::string> paths;
    paths.reserve(std::size(kNames));
    for (const char* name : kNames)
        paths.push_back(programFolder + "\\sonidos\\" + name);
    return paths;
}

}  // namespace velozor
