// Parses the command strings of the channels and the music, shared by every back end so
// that they all read the game's commands alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Language.h"

namespace velozor {

struct MciCommand {
    enum class Verb { Open, Play, Close, CloseAll };
    Verb verb = Verb::Open;
    // Open: the file path, as written (may hold spaces; empty when the command names none).
    // Play and Close: the device, an alias or the path the music was opened under.
    std::string target;
    std::string type;   // Open only: the TYPE word ("waveaudio"), empty if none
    std::string alias;  // Open only: the ALIAS word, empty if none
};

// Command words are case-insensitive. "OPEN p TYPE waveaudio ALIAS a" is split at its last
// " TYPE " and " ALIAS " keywords, so an unquoted path holding spaces keeps them. Returns
// nullopt for a command this parser does not know, and for an OPEN whose TYPE or ALIAS has no
// word after it.
std::optional<MciCommand> parseMciCommand(std::string_view command);

// The text the platform shows or prints for an error code of SoundPlatform.h, in `language`.
std::string mciErrorText(uint32_t error, Language language);

// The line on standard error (without "velozor: "), in `language`, of a command the player's back
// end ran through mciExecute and that failed: the command (null when none was passed), the error's
// text (mciErrorText, or the system's own) and the back end's own reason, `detail`, when it has
// one.
std::string failedCommandLine(const char* command, std::string_view errorText,
                              std::string_view detail, Language language);

}  // namespace velozor
