// What the player reads when the music cannot start: the two message boxes of the music's
// commands (its open, then its play), in the game's language, naming the file and saying what
// to do. Shared by the back ends that show the boxes themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sound/MciCommand.h"

namespace velozor {

// The box of a failed "OPEN file". `file` is the music file as the player would find it (empty
// when not even its name is known); `error` is the MciError of the open.
std::string musicOpenFailedText(std::string_view file, uint32_t error);

// The box of the "PLAY" that follows a failed open of the same file: it can only fail, and
// says so, so the player does not look for a second fault.
std::string musicPlayAfterFailedOpenText(std::string_view file);

// The box of any other command run through mciExecute that fails (the game sends none that
// can): the command and the error's code.
std::string soundCommandFailedText(std::string_view command, uint32_t error);

// Which box a failed mciExecute shows, remembering a failed open of the music so that the play
// of the same device says it follows it. One per back end that shows the boxes.
class MusicErrorBoxes {
public:
    // The text for the failed `command` (as parsed, when it parses). For an OPEN, `file` is the
    // music file as the player knows it, which only the back end can tell from the command's
    // target (a short path, or empty when the file was not found).
    std::string textFor(const char* command, const std::optional<MciCommand>& parsed,
                        uint32_t error, const std::string& file);
    // The command succeeded: after an open, a later play no longer follows a failed one.
    void succeeded(const std::optional<MciCommand>& parsed) {
        if (parsed && parsed->verb == MciCommand::Verb::Open)
            failedOpen_.reset();
    }
    // Both in one, for a back end's mciExecute: nullopt after a success (`error` 0), else the
    // text for the failed `command`, whose OPEN's music file `fileOfOpen` names as the player
    // knows it.
    std::optional<std::string> boxAfter(
        const char* command, uint32_t error,
        const std::function<std::string(const MciCommand& open)>& fileOfOpen);

private:
    struct FailedOpen {
        std::string target;  // as the command named it
        std::string file;    // as the player knows it
    };
    std::optional<FailedOpen> failedOpen_;
};

}  // namespace velozor
