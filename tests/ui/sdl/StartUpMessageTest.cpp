// Tests of what the program tells the player at start-up, on the X display the tests run under
// (xvfb-run): its dialog as a screen reader meets it (zenity's, read and closed through the
// accessibility tree), the program without zenity, the language it speaks and the sound folder
// it names, and the line breaks SDL's box is given.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/ProgramRun.h"
#include "ui/sdl/MessageDialog.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::readFile;

// A copy of the program whose Spanish sound folder holds the music alone: the start-up check's
// message names the 72 other files, and the game then plays with no other message.
class StartUpMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        char pattern[] = "/tmp/velozor-start-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::copy_file(VELOZOR_PROGRAM, folder / "velozor");
        std::filesystem::create_directories(folder / "sonidos");
        std::filesystem::copy_file(std::filesystem::path(VELOZOR_SOUND_FOLDER) / "fondo.mp3",
                                   folder / "sonidos/fondo.mp3");
    }
    void TearDown() override {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // Starts the program, waits for its window (once the message is closed) and for `awaited`
    // on standard error, and closes it.
    void playUntilClosed(std::vector<std::string> environment, const std::string& awaited = "") {
        environment.push_back("SDL_AUDIODRIVER=dummy");
        environment.push_back("XDG_DATA_HOME=" + (folder / "data").string());
        std::string error;
        ASSERT_TRUE(run.start(folder / "velozor", environment, trace(), error)) << error;
        EXPECT_TRUE(run.waitForTraced(awaited, 10s)) << awaited << " never came:\n" << run.trace();
        run.requestClose();
        EXPECT_EQ(run.exitStatus(10s), 0) << run.trace();
    }
    // PATH with a zenity that shows nothing and returns at once, as if the player closed it.
    std::string closedDialogs() const {
        std::filesystem::create_directory(folder / "bin");
        std::ofstream(folder / "bin/zenity") << "#!/bin/sh\n";
        std::filesystem::permissions(folder / "bin/zenity", std::filesystem::perms::owner_all);
        return "PATH=" + (folder / "bin").string();
    }
    std::string trace() const { return (folder / "trace.txt").string(); }
    // The sound folder's message as the program wrote it on standard error.
    std::string message() const {
        std::istringstream lines(run.trace());
        std::string line;
        while (std::getline(lines, line) && line.find(" incomplet") == std::string::npos) {
        }
        return line.substr(std::min(line.size(), std::string("velozor: ").size()));
    }

    std::filesystem::path folder;
    velozor::testing::ProgramRun run;
};

TEST_F(StartUpMessageTest, AScreenReaderReadsTheWholeMessageAndClosesItWithItsButton) {
    ASSERT_EQ(std::system("command -v zenity >/dev/null"), 0)
        << "zenity is missing: run scripts/deps.sh's package list";
    // A session bus of the test's own, on which the accessibility bus starts when GTK asks.
    std::istringstream bus(
        commandOutput("dbus-daemon --session --fork --print-address=1 --print-pid=1"));
    std::string address;
    pid_t busProcess = -1;
    ASSERT_TRUE(bus >> address >> busProcess) << "dbus-daemon did not start";
    const std::string heard = (folder / "heard.txt").string();
    velozor::testing::ProgramRun probe;
    std::string error;
    const std::string session = "DBUS_SESSION_BUS_ADDRESS=" + address;
    ASSERT_TRUE(probe.launch(
        {{"/usr/bin/python3", VELOZOR_DIALOG_PROBE, trace()}, {session}, {}, heard, {}}, error))
        << error;
    playUntilClosed({session});
    EXPECT_EQ(probe.exitStatus(20s), 0) << readFile(heard);
    kill(busProcess, SIGTERM);
    std::istringstream said(readFile(heard));
    std::string waited, button, text;
    int x = -1, width = 0;
    std::getline(said >> waited >> x >> width >> button >> std::ws, text);
    EXPECT_EQ(text, message()) << "the dialog must say what standard error says";
    EXPECT_NE(text.find("y 67 más."), std::string::npos) << text;
    EXPECT_EQ(waited, "yes") << "the game went on before the dialog was closed";
    const int screen = std::stoi(commandOutput("xdpyinfo | sed -n 's/ *dimensions: *//p'"));
    EXPECT_TRUE(x >= 0 && x + width <= screen) << x << "+" << width << " on " << screen;
}

TEST_F(StartUpMessageTest, WithoutZenityStandardErrorHasTheMessageAndTheGameGoesOn) {
    // SDL's box shows where the display has the fonts it needs, and is closed with Return as a
    // player would; on a display without them (a bare Xvfb) it fails at once. It is the window
    // named Velozor without a class (the game's own is of class velozor).
    std::system(R"sh(timeout 20 sh -c 'until box=$(xwininfo -root -tree |
        sed -n "s/^ *\(0x[0-9a-f]*\) \"Velozor\": ().*/\1/p"); [ -n "$box" ];
        do sleep 0.1; done; xdotool key --window $box Return' >/dev/null 2>&1 &)sh");
    playUntilClosed({"PATH=/nonexistent"});
    EXPECT_NE(message().find(" está incompleta: de sus 73 archivos, faltan 72."), std::string::npos)
        << run.trace();
}

// English on a system in another language: the folder "sounds", and the messages in English:
// the sound folder's, and the music's, which names the file the back end was asked for there.
TEST_F(StartUpMessageTest, AnEnglishSystemGetsItsFolderAndTheMessageInEnglish) {
    const std::string sounds = (folder / "sounds").string();
    playUntilClosed({closedDialogs(), "LANGUAGE=", "LC_ALL=de_DE.UTF-8"},
                    "The music file “" + sounds + "/fondo.mp3” cannot be found.");
    EXPECT_TRUE(message().starts_with(
        "The sound folder " + sounds +
        " is incomplete: of its 73 files, 73 are missing. They are "
        "“intro/arch 1.wav”, “intro/arch 2.wav”, “intro/arch 3.wav”, “intro/arch 4.wav”, "
        "“fondo.mp3” and 68 more. The game goes on"))
        << run.trace();
}

TEST_F(StartUpMessageTest, ThePlayersOwnFolderComesFirstAndIsNamedWhenIncomplete) {
    std::filesystem::create_directories(folder / "data/velozor/sonidos");
    playUntilClosed({closedDialogs(), "LANGUAGE=", "LC_ALL=es_ES.UTF-8"});
    EXPECT_TRUE(message().starts_with("La carpeta de sonidos " +
                                      (folder / "data/velozor/sonidos").string() +
                                      " está incompleta: de sus 73 archivos, faltan 73."))
        << run.trace();
}

TEST(StartUpCommandLine, ABadLanguageIsRefusedWithStatusTwo) {
    const std::string said = commandOutput("LANGUAGE= LC_ALL=en_US.UTF-8 " VELOZOR_PROGRAM
                                           " --language fr 2>&1; echo $?");
    EXPECT_EQ(said,
              "velozor: --language fr: give es (Spanish) or en (English)\nusage: velozor "
              "[--language es|en]  (es: Spanish, en: English; without it, the system's)\n2\n");
}

TEST(MessageLines, BreakAtSpacesCountingCharactersNotBytes) {
    EXPECT_EQ(velozor::wrapLines("aa bb cc", 5), "aa bb\ncc");
    EXPECT_EQ(velozor::wrapLines("ñá ñá ñá", 5), "ñá ñá\nñá");           // two bytes each
    EXPECT_EQ(velozor::wrapLines("a abcdefgh b", 5), "a\nabcdefgh\nb");  // a long word, whole
    EXPECT_EQ(velozor::wrapLines("aa\nbb cc", 5), "aa\nbb cc");          // its own break counts
}

}  // namespace
