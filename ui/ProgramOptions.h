// The game's command line, the same for velozor and velozor.exe: velozor [--language es|en].
#pragma once

#include <optional>
#include <string>

#include "base/Language.h"

namespace velozor {

inline constexpr const char* kProgramUsage =
    "usage: velozor [--language es|en]  (es: Spanish, en: English; without it, the system's)";

struct ProgramOptions {
    std::optional<Language> language;  // --language, when given
};

// The options of `argv[1]` to `argv[argc - 1]`. On a bad command line returns nullopt and sets
// `error` to what was wrong; the program then says so, with kProgramUsage, and ends with
// status 2.
std::optional<ProgramOptions> parseProgramOptions(int argc, const char* const* argv,
                                                  std::string& error);

}  // namespace velozor
