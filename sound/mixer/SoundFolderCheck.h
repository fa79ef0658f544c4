// The start-up check of the sound folder: every file the game will ask for is there, readable
// and holds sound the mixer can decode, so a damaged folder is told to the player before the
// game starts rather than found by crashing into obstacles nobody could hear.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velozor {

struct SoundFileProblem {
    enum class Kind { Missing, Damaged };
    Kind kind = Kind::Missing;
    std::string path;    // the file as found on disk, or the game's path with '/' if missing
    std::string reason;  // a few English words for standard error
};

// The files of `gamePaths` (the game's own paths, backslashed, as the game asks for them) that
// are missing, cannot be read, or whose header holds no sound the mixer decodes, in the order
// given. Reads headers only (see readSoundFileHeader): a few milliseconds for the whole folder.
std::vector<SoundFileProblem> findSoundFileProblems(const std::vector<std::string>& gamePaths);

// The player's message, in Spanish: the folder, how many of `fileCount` files are missing or
// damaged, the first few of them by name, what the game does meanwhile and how to mend it.
// `soundFolder` is the native folder; names under it are given relative to it.
std::string soundFolderMessage(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems);

// Runs the check on `gamePaths`, the files of the sound folder `soundFolder` (native path).
// When any is wrong, writes one line per file on standard error and shows the message once
// through `show`, which returns when the player has closed it (an SDL message box when
// empty). Returns the number of files that are wrong; the game goes on either way, with the
// default tone, a silent channel or the music's own message where a file fails.
size_t checkSoundFolder(const std::string& soundFolder, const std::vector<std::string>& gamePaths,
                        const std::function<void(const std::string& message)>& show = {});

}  // namespace velozor
