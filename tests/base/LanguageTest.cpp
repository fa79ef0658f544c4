// Tests of the choice of the game's language: gettext's rules on Linux, the interface language
// on Windows, and the command line over either.
#include "base/Language.h"

#include <gtest/gtest.h>

namespace velozor {
namespace {

constexpr Language es = Language::Spanish;
constexpr Language en = Language::English;

TEST(Language, OnLinuxFollowsGettextWithTheCLocaleSpeakingTheGamesOwnSpanish) {
    const struct {
        std::optional<Language> commandLine;
        LocaleVariables variables;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        Language chosen;
    } cases[] = {
        {{}, {}, es},                                          // no locale at all: C
        {{}, {nullptr, nullptr, nullptr, "es_ES.UTF-8"}, es},  // a Spanish system
        {{}, {nullptr, nullptr, nullptr, "de_DE.UTF-8"}, en},  // any other
        {{}, {nullptr, nullptr, "es_MX", "en_US"}, es},        // LC_MESSAGES over LANG
        {{}, {nullptr, "en_GB", "es_ES", "es_ES"}, en},        // LC_ALL over both
        {{}, {nullptr, "", "", "es_AR@euro"}, es},             // empty is unset
        {{}, {"fr:es_MX:en", nullptr, nullptr, "de_DE"}, es},  // LANGUAGE's first one spoken
        {{}, {"fr:de", nullptr, nullptr, "es_ES"}, es},        // none spoken: the locale's
        {{}, {"en", "C.UTF-8", nullptr, "en_US"}, es},         // C ignores LANGUAGE
        {{}, {"en", nullptr, nullptr, "POSIX"}, es},
        {en, {"es", nullptr, nullptr, "es_ES"}, en},  // the command line wins
    };
    for (const auto& sample : cases) {
        EXPECT_EQ(chooseLanguage(sample.commandLine, sample.variables), sample.chosen)
            << "case " << &sample - cases;
    }
}

TEST(Language, OnWindowsSpanishForAnySpanishInterfaceAndTheCommandLineWins) {
    EXPECT_EQ(chooseLanguage(std::nullopt, uint16_t{0x0C0A}), es);  // Spain
    EXPECT_EQ(chooseLanguage(std::nullopt, uint16_t{0x080A}), es);  // Mexico
    EXPECT_EQ(chooseLanguage(std::nullopt, uint16_t{0x0409}), en);  // United States
    EXPECT_EQ(chooseLanguage(std::nullopt, uint16_t{0x040C}), en);  // France
    EXPECT_EQ(chooseLanguage(en, uint16_t{0x0C0A}), en);
}

}  // namespace
}  // namespace velozor
