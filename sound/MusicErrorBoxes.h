// Which box a failed mciExecute shows, for the back ends that show them (mixer, winmm, web):
// the music's open and the play after it name the music file by the long path the player
// knows, never by the short path the game opened it under; any other command shows its text
// and error code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/Language.h"
#include "sound/MciCommand.h"

namespace velozor {

class MusicErrorBoxes {
public:
    // The boxes' texts in `language`, the player's.
    explicit MusicErrorBoxes(Language language) : language_(language) {}

    // Notes the last GetShortPathNameA: the path asked for, `longPath`, as the player would find
    // it (in the system's own separators), and the short path it gave, empty when the file was
    // not found. The game asks for the music's short path just before it opens it.
    void shortPathAsked(std::string longPath, std::string shortPath);

    // After mciExecute ran `command` (null when the game passed none; `parsed` is its one parse,
    // nullopt when it has none) and it ended with `error`: nullopt when it succeeded, else the
    // text of the box to show. An OPEN whose target is empty, or the short path just given,
    // names the long path asked for (an empty target is a file not found, whatever the back
    // end made of it); the PLAY of a device whose open failed says it follows that failure.
    std::optional<std::string> afterCommand(const char* command,
                                            const std::optional<MciCommand>& parsed,
                                            uint32_t error);

private:
    struct FailedOpen {
        std::string target;  // as the command named it
        std::string file;    // as the player knows it
    };

    Language language_;
    std::string longPath_;
    std::string shortPath_;
    std::optional<FailedOpen> failedOpen_;
};

}  // namespace velozor
