// Tests of the player's messages on Linux: the program's dialog as a screen reader meets it
// (zenity's, read and closed through the accessibility tree), the program without zenity, and
// the line breaks SDL's box is given.
#include "ui/sdl/MessageDialog.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/ui/sdl/ProgramRun.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::readFile;

// A copy of the program whose sound folder holds the music alone: the start-up check's message
// names the 72 other files, and the game then plays with no other message.
class MessageDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        char pattern[] = "/tmp/velozor-dialog-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::copy_file(VELOZOR_PROGRAM, folder / "velozor");
        std::filesystem::create_directory(folder / "sonidos");
        std::filesystem::copy_file(std::filesystem::path(VELOZOR_SOUND_FOLDER) / "fondo.mp3",
                                   folder / "sonidos/fondo.mp3");
    }
    void TearDown() override {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // Starts the program, waits for its window (once the message is closed), and closes it.
    void playUntilClosed(const std::vector<std::string>& environment) {
        std::string error;
        ASSERT_TRUE(run.start(folder / "velozor", environment, trace(), error)) << error;
        run.requestClose();
        EXPECT_EQ(run.exitStatus(10s), 0) << run.trace();
    }
    std::string trace() const { return (folder / "trace.txt").string(); }
    // The message as the program wrote it on standard error.
    std::string message() const {
        const std::string lines = run.trace();
        const auto at = lines.find("velozor: La carpeta de sonidos ");
        return at == std::string::npos ? "" : lines.substr(at + 9, lines.find('\n', at) - at - 9);
    }

    std::filesystem::path folder;
    velozor::testing::ProgramRun run;
};

TEST_F(MessageDialogTest, AScreenReaderReadsTheWholeMessageAndClosesItWithItsButton) {
    ASSERT_EQ(std::system("command -v zenity >/dev/null"), 0)
        << "zenity is missing: run scripts/deps.sh's package list";
    // A session bus of the test's own, on which the accessibility bus starts when GTK asks.
    std::istringstream bus(
        commandOutput("dbus-daemon --session --fork --print-address=1 "
                      "--print-pid=1"));
    std::string address;
    pid_t busProcess = -1;
    ASSERT_TRUE(bus >> address >> busProcess) << "dbus-daemon did not start";
    const std::string heard = (folder / "heard.txt").string();
    std::system(("DBUS_SESSION_BUS_ADDRESS='" + address + "' /usr/bin/python3 " +
                 VELOZOR_DIALOG_PROBE + " " + trace() + " >" + heard + " 2>&1 &")
                    .c_str());
    playUntilClosed({"SDL_AUDIODRIVER=dummy", "DBUS_SESSION_BUS_ADDRESS=" + address});
    kill(busProcess, SIGTERM);

    ASSERT_TRUE(velozor::testing::waitUntil(
        [&] { return readFile(heard).find("\ntext:\n") != std::string::npos; }, 10s))
        << readFile(heard);
    std::istringstream said(readFile(heard));
    std::string word, waited, text;
    int x = -1, width = 0;
    said >> word >> x >> word >> width >> word >> word >> word >> waited;
    std::getline(said, word, ':');  // the button pressed, and the label of the text
    std::getline(said, word, ':');
    std::getline(said >> std::ws, text);
    EXPECT_EQ(text, message()) << "the dialog must say what standard error says";
    EXPECT_NE(text.find("y 67 más."), std::string::npos) << text;
    EXPECT_EQ(waited, "yes") << "the game went on before the dialog was closed";
    const int screen = std::stoi(commandOutput("xdpyinfo | sed -n 's/ *dimensions: *//p'"));
    EXPECT_TRUE(x >= 0 && x + width <= screen) << x << "+" << width << " on " << screen;
}

TEST_F(MessageDialogTest, WithoutZenityStandardErrorHasTheMessageAndTheGameGoesOn) {
    // SDL's box shows where the display has the fonts it needs, and is closed with Return as a
    // player would; on a display without them (a bare Xvfb) it fails at once. It is the window
    // named Velozor without a class (the game's own is of class velozor).
    std::system(R"sh(timeout 20 sh -c 'until box=$(xwininfo -root -tree |
        sed -n "s/^ *\(0x[0-9a-f]*\) \"Velozor\": ().*/\1/p"); [ -n "$box" ];
        do sleep 0.1; done; xdotool key --window $box Return' >/dev/null 2>&1 &)sh");
    playUntilClosed({"SDL_AUDIODRIVER=dummy", "PATH=/nonexistent"});
    EXPECT_NE(message().find(" está incompleta: de sus 73 archivos, faltan 72."), std::string::npos)
        << run.trace();
}

TEST(MessageLines, BreakAtSpacesCountingCharactersNotBytes) {
    const struct {
        const char* text;
        const char* wrapped;
    } cases[] = {
        {"aa bb cc", "aa bb\ncc"},
        {"ñá ñá ñá", "ñá ñá\nñá"},           // two bytes each
        {"a abcdefgh b", "a\nabcdefgh\nb"},  // a longer word stands whole on its line
        {"aa\nbb cc", "aa\nbb cc"},          // a line break of its own starts a new count
    };
    for (const auto& sample : cases)
        EXPECT_EQ(velozor::wrapLines(sample.text, 5), sample.wrapped) << sample.text;
}

}  // namespace
