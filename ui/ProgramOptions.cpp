// The game's command line.
#include "ui/ProgramOptions.h"

#include <string_view>

namespace velozor {

std::optional<ProgramOptions> parseProgramOptions(int argc, const char* const* argv,
                                                  std::string& error) {
    ProgramOptions options;
    for (int at = 1; at < argc; ++at) {
        std::string_view argument = argv[at];
        std::string_view value;
        if (argument.starts_with("--language=")) {
            value = argument.substr(argument.find('=') + 1);
        } else if (argument == "--language" && at + 1 < argc) {
            value = argv[++at];
        } else if (argument == "--language") {
            error = "--language needs a value: es (Spanish) or en (English)";
            return std::nullopt;
        } else {
            error = "unknown argument \"" + std::string(argument) + "\"";
            return std::nullopt;
        }
        options.language = languageOfCode(value);
        if (!options.language) {
            error = "--language " + std::string(value) + ": give es (Spanish) or en (English)";
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace velozor
