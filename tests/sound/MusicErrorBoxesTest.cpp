// Which box a failed mciExecute shows and its words, as the real back ends show them. This is
// the one place that pins the texts, in Spanish and in English.
#include "sound/MusicErrorBoxes.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sound/MusicErrorText.h"

namespace velozor {
namespace {

const std::string kWhatToDo =
    " Pon en su lugar un archivo MP3 que se pueda reproducir, o vuelve a crear la carpeta de "
    "sonidos con velozor-soundpack. Mientras tanto, el juego sigue sin música.";
std::string missing(const std::string& file) {
    return "No se encuentra el archivo de música «" + file + "»." + kWhatToDo;
}
std::string unreadable(const std::string& file) {
    return "No se puede reproducir el archivo de música «" + file +
           "»: no contiene sonido que el juego sepa leer." + kWhatToDo;
}
std::string playAfter(const std::string& which) {
    return "La música no puede sonar porque no se pudo abrir " + which +
           ", como decía el aviso anterior." + kWhatToDo;
}
std::string failed(const std::string& command, int error) {
    return "Falló la orden de sonido «" + command + "» (error " + std::to_string(error) + ").";
}

TEST(MusicErrorBoxesTest, TheMusicsBoxesNameItsLongPathAndOtherCommandsTheirCode) {
    const std::string kLong = "C:\\Mis juegos\\velozor\\sonidos\\fondo.mp3";
    const std::string kShort = "C:\\MISJUE~1\\velozor\\sonidos\\fondo.mp3";
    const std::string open = "OPEN " + kShort, play = "PLAY " + kShort;
    const struct {
        const char* rule;
        std::string longPath, shortPath;  // the last short-path request
        std::vector<std::tuple<std::string, uint32_t, std::optional<std::string>>> steps;
    } cases[] = {
        // clang-format off
        {"a file not found, whatever the error: its short path was empty", kLong, "",
         {{"OPEN ", 263, missing(kLong)}, {"PLAY ", 263, playAfter("«" + kLong + "»")}}},
        {"a file not read is named by its long path, not the short one", kLong, kShort,
         {{open, 266, unreadable(kLong)}, {play, 263, playAfter("«" + kLong + "»")}}},
        {"no path asked for", "", "",
         {{"OPEN ", 275, "No se encuentra el archivo de música." + kWhatToDo},
          {"PLAY ", 263, playAfter("el archivo de música")}}},
        {"a path not just shortened is named as given", kLong, kShort,
         {{"OPEN D:\\otra.mp3", 266, unreadable("D:\\otra.mp3")}}},
        {"after a successful open, a play's box is its own", kLong, kShort,
         {{open, 266, unreadable(kLong)}, {open, 0, std::nullopt}, {play, 263, failed(play, 263)}}},
        {"the play of another device does not follow the failed open", kLong, "",
         {{"OPEN ", 275, missing(kLong)}, {"PLAY x", 263, failed("PLAY x", 263)}}},
        {"other commands", kLong, kShort,
         {{"Close all", 0, std::nullopt}, {"SEEK x", 261, failed("SEEK x", 261)}}},
        // clang-format on
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.rule);
        MusicErrorBoxes boxes(Language::Spanish);
        boxes.shortPathAsked(each.longPath, each.shortPath);
        for (const auto& [command, error, box] : each.steps)
            EXPECT_EQ(boxes.afterCommand(command.c_str(), parseMciCommand(command), error), box);
    }
    EXPECT_EQ(MusicErrorBoxes(Language::Spanish).afterCommand(nullptr, std::nullopt, 273),
              failed("", 273));
}

TEST(MusicErrorBoxesTest, InEnglishTheSameBoxesSayTheSameThings) {
    const std::string toDo =
        " Put a playable MP3 file in its place, or make the sound folder again with "
        "velozor-soundpack. Meanwhile the game goes on without music.";
    constexpr Language en = Language::English;
    const std::pair<std::string, std::string> cases[] = {
        {musicOpenFailedText(en, "", 275), "The music file cannot be found." + toDo},
        {musicOpenFailedText(en, "a.mp3", 275), "The music file “a.mp3” cannot be found." + toDo},
        {musicOpenFailedText(en, "a.mp3", 266),
         "The music file “a.mp3” cannot be played: it holds no sound the game can read." + toDo},
        {musicPlayAfterFailedOpenText(en, ""),
         "The music cannot play because the music file could not be opened, as the previous "
         "message said." +
             toDo},
        {musicPlayAfterFailedOpenText(en, "a.mp3"),
         "The music cannot play because “a.mp3” could not be opened, as the previous message "
         "said." +
             toDo},
        {soundCommandFailedText(en, "SEEK x", 261),
         "The sound command “SEEK x” failed (error 261)."},
    };
    for (const auto& [shown, expected] : cases)
        EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace velozor
