// The start-up check of the sound folder: every file the game will ask for is there, readable
// and holds sound the back end can decode, so a damaged folder is told to the player before the
// game starts rather than found by crashing into obstacles nobody could hear. Shared by the back
// ends; each finds the game's files on disk by its own rules and shows the message its own way.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Language.h"
#include "sound/SoundFileHeader.h"

namespace velozor {

// One of the game's files as a back end finds it on disk.
struct SoundFileOnDisk {
    enum class Kind { Missing, NotARegularFile, RegularFile };
    Kind kind = Kind::Missing;
    // As the player would look for it: the file found, or where the game looked when missing.
    std::string path;
    // RegularFile only: the file open for reading in binary mode, or empty when it did not
    // open, `openError` (an errno value) saying why.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, &std::fclose};
    int openError = 0;
};

// Finds the file a game path (backslashed, UTF-8, as the game asks for it) names on disk.
using SoundFileFinder = std::function<SoundFileOnDisk(const std::string& gamePath)>;

// What the header of a RegularFile found on disk holds; not playable when it did not open. Its
// problem is in `language`.
SoundFileHeader readSoundFileHeader(const SoundFileOnDisk& found, Language language);

struct SoundFileProblem {
    enum class Kind { Missing, Damaged };
    Kind kind = Kind::Missing;
    std::string path;    // SoundFileOnDisk::path
    std::string reason;  // a few words for standard error, in the language asked for
};

// The files of `gamePaths` that are missing, cannot be read, or whose header holds no sound the
// back end decodes, in the order given, their reasons in `language`. Reads headers only (see
// readSoundFileHeader): a few milliseconds for the whole folder.
std::vector<SoundFileProblem> findSoundFileProblems(const std::vector<std::string>& gamePaths,
                                                    const SoundFileFinder& find,
                                                    Language language = Language::Spanish);

// The line on standard error, in `language` and without "velozor: ", of the sound file at `path`
// that cannot be played for `reason`.
std::string soundFileProblemLine(std::string_view path, std::string_view reason, Language language);

// The player's message, in `language`: the folder, how many of `fileCount` files are missing or
// damaged, the first few of them by name and a count of the rest, what the game does meanwhile
// and how to mend it. `soundFolder` is the native folder; names under it (after a '/' or a
// '\') are given relative to it.
std::string soundFolderMessage(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems,
                               Language language = Language::Spanish);

// Runs the check on `gamePaths`, the files of the sound folder `soundFolder` (native path).
// When any is wrong, writes one line per file on standard error (in `language`, as the
// message) and shows the message once through `show`, which returns when the player has closed
// it. Returns the number of files that are wrong; the game goes on either way, with the default
// sound, a silent channel or the music's own message where a file fails.
size_t checkSoundFolder(const std::string& soundFolder, const std::vector<std::string>& gamePaths,
                        const SoundFileFinder& find,
                        const std::function<void(const std::string& message)>& show,
                        Language language = Language::Spanish);

// The second half of checkSoundFolder, for a program that found the problems on another thread:
// the lines on standard error and the one message, for `problems` among `fileCount` files.
size_t reportSoundFileProblems(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems,
                               const std::function<void(const std::string& message)>& show,
                               Language language = Language::Spanish);

}  // namespace velozor
