// Writing the whole default sound folder to disk.
#pragma once

#include <filesystem>

#include "tools/soundpack/FolderOptions.h"

namespace velozor::soundpack {

// Writes every file of soundCatalogue(options) into `outputDir`/soundFolderName(language), the
// folder the game looks for (sonidos or sounds; see sound/SoundFolderLocation.h), spoken in
// `options.language` at `options.wordsPerMinute`, creating the folders it needs and replacing
// files of the same names; other files there are left alone. Returns the number of files
// written. Throws std::runtime_error saying which file or folder failed.
int writeSoundFolder(const std::filesystem::path& outputDir, const FolderOptions& options = {});

}  // namespace velozor::soundpack
