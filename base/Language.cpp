// The choice of the game's language from the command line and the system's settings, and the
// choice of a text by it.
#include "base/Language.h"

namespace velozor {

namespace {

// The language part of a locale name or a LANGUAGE entry: "es" of "es_MX.UTF-8@euro".
std::string_view languagePart(std::string_view name) {
    return name.substr(0, name.find_first_of("_.@"));
}

bool isSet(const char* variable) {
    return variable != nullptr && variable[0] != '\0';
}

}  // namespace

std::string inLanguage(Language language, std::string_view spanish, std::string_view english,
                       std::initializer_list<std::string_view> details) {
    const std::string_view text = language == Language::Spanish ? spanish : english;
    std::string filled;
    std::size_t from = 0;
    for (const std::string_view detail : details) {
        const std::size_t at = text.find("{}", from);
        if (at == std::string_view::npos)
            break;
        filled.append(text.substr(from, at - from)).append(detail);
        from = at + 2;
    }
    return filled.append(text.substr(from));
}

std::optional<Language> languageOfCode(std::string_view code) {
    if (code == "es")
        return Language::Spanish;
    if (code == "en")
        return Language::English;
    return std::nullopt;
}

Language chooseLanguage(std::optional<Language> commandLine, const LocaleVariables& variables) {
    if (commandLine)
        return *commandLine;
    const std::string_view locale = isSet(variables.lcAll)        ? variables.lcAll
                                    : isSet(variables.lcMessages) ? variables.lcMessages
                                    : isSet(variables.lang)       ? variables.lang
                                                                  : "C";
    if (locale == "POSIX" || languagePart(locale) == "C")
        return Language::Spanish;
    if (isSet(variables.language)) {
        std::string_view list = variables.language;
        while (!list.empty()) {
            const size_t end = list.find(':');
            if (const std::optional<Language> listed =
                    languageOfCode(languagePart(list.substr(0, end))))
                return *listed;
            list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        }
    }
    return languagePart(locale) == "es" ? Language::Spanish : Language::English;
}

Language chooseLanguage(std::optional<Language> commandLine, uint16_t windowsUiLanguage) {
    constexpr uint16_t kPrimaryLanguageMask = 0x3FF;  // PRIMARYLANGID
    constexpr uint16_t kSpanish = 0x0A;               // LANG_SPANISH
    if (commandLine)
        return *commandLine;
    return (windowsUiLanguage & kPrimaryLanguageMask) == kSpanish ? Language::Spanish
                                                                  : Language::English;
}

}  // namespace velozor
