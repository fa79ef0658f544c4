// The game's command line.
#include "ui/ProgramOptions.h"

#include <string_view>

namespace velozor {

std::optional<ProgramOptions> parseProgramOptions(int argc, const char* const* argv,
                                                  Language language, std::string& error) {
    ProgramOptions options;
    for (int at = 1; at < argc; ++at) {
        std::string_view argument = argv[at];
        std::string_view value;
        if (argument.starts_with("--language=")) {
            value = argument.substr(argument.find('=') + 1);
        } else if (argument == "--language" && at + 1 < argc) {
            value = argv[++at];
        } else if (argument == "--language") {
            error = inLanguage(language, "--language necesita un valor: es (español) o en (inglés)",
                               "--language needs a value: es (Spanish) or en (English)");
            return std::nullopt;
        } else {
            error = inLanguage(language, "argumento desconocido «{}»", "unknown argument \"{}\"",
                               {argument});
            return std::nullopt;
        }
        options.language = languageOfCode(value);
        if (!options.language) {
            error = inLanguage(language, "--language {}: escribe es (español) o en (inglés)",
                               "--language {}: give es (Spanish) or en (English)", {value});
            return std::nullopt;
        }
    }
    return options;
}

std::string programUsage(Language language) {
    return inLanguage(language,
                      "uso: velozor [--language es|en]  (es: español, en: inglés; sin la opción, "
                      "el del sistema)",
                      "usage: velozor [--language es|en]  (es: Spanish, en: English; without it, "
                      "the system's)");
}

}  // namespace velozor
