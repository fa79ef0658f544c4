// The language the game speaks and writes in, Spanish or English, and how it is chosen: the
// command line's when given, else the system's (Spanish for Spanish, English for any other).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace velozor {

enum class Language { Spanish, English };

// The one of `spanish` and `english` that is in `language`, each "{}" in it replaced by the next
// of `details` (a file, a command, the system's own words for an error). A "{}" left without a
// detail stays as it is.
std::string inLanguage(Language language, std::string_view spanish, std::string_view english,
                       std::initializer_list<std::string_view> details = {});

// "es" or "en" (as --language takes them); nullopt for anything else.
std::optional<Language> languageOfCode(std::string_view code);

// The environment variables a Linux session names its languages in; null or empty is unset.
struct LocaleVariables {
    const char* language = nullptr;    // LANGUAGE: a priority list, "fr:es" or "es_MX:en"
    const char* lcAll = nullptr;       // LC_ALL
    const char* lcMessages = nullptr;  // LC_MESSAGES
    const char* lang = nullptr;        // LANG
};

// The language on Linux, by gettext's rules for messages: the locale is the first set of
// LC_ALL, LC_MESSAGES and LANG, and "C" when none is. The C locale ("C", "C.UTF-8", "POSIX")
// asks for a program's own texts, which are Spanish, and makes gettext ignore LANGUAGE.
// Otherwise the first entry of LANGUAGE in Spanish or English decides; without one, the
// locale's language does.
Language chooseLanguage(std::optional<Language> commandLine, const LocaleVariables& variables);

// The language on Windows, from the user's interface language (GetUserDefaultUILanguage's
// LANGID): Spanish for any Spanish, English for any other.
Language chooseLanguage(std::optional<Language> commandLine, uint16_t windowsUiLanguage);

}  // namespace velozor
