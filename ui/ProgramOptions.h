// The game's command line, the same for velozor and velozor.exe: velozor [--language es|en].
#pragma once

#include <optional>
#include <string>

#include "base/Language.h"

namespace velozor {

struct ProgramOptions {
    std::optional<Language> language;  // --language, when given
};

// The options of `argv[1]` to `argv[argc - 1]`. On a bad command line returns nullopt and sets
// `error` to what was wrong, in `language` (the system's, as no option chose one); the program
// then says so, with programUsage, and ends with status 2.
std::optional<ProgramOptions> parseProgramOptions(int argc, const char* const* argv,
                                                  Language language, std::string& error);

// One line on how to call the program, in `language`.
std::string programUsage(Language language);

}  // namespace velozor
