// Tests of the velozor program as a player meets it, on the X display the tests run under
// (xvfb-run): its window and credits, what it says at start-up (zenity's dialog as a screen
// reader meets it, SDL's box without zenity, the language and the sound folder it names), a
// visit by ear through the keys and the menu, and the ways it ends (the close request, signals,
// no display).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"
#include "tests/support/PulseServer.h"
#include "tests/support/SoundFiles.h"
#include "tools/soundpack/Catalogue.h"
#include "ui/sdl/MessageDialog.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::ProgramRun;
using velozor::testing::readFile;
using velozor::testing::waitUntil;

// Dark pixels (text) in a screenshot of the window, by area: the credits label's, left of it,
// below it, and one pixel of the background, which is dark until the window's first paint.
struct Screenshot {
    int width = 0;
    int height = 0;
    int dark[4] = {0, 0, 0, 1};
};

Screenshot screenshot(const std::string& window) {
    std::string command = "import -window " + window +
                          " miff:- | convert miff:- -colorspace Rec601Luma -threshold 39% -negate"
                          " -format '%w %h %[fx:round(mean*w*h)]\\n' -write info:";
    for (const char* area : {"183x122+10+8", "9x249+0+0", "203x119+0+130", "1x1+1+1"})
        command += std::string(" \\( +clone -crop ") + area + " -write info: +delete \\)";
    std::istringstream figures(commandOutput(command + " null: 2>/dev/null"));
    Screenshot shot;
    int unused = 0;
    figures >> shot.width >> shot.height >> unused;
    for (int& dark : shot.dark)
        figures >> unused >> unused >> dark;
    return shot;
}

// Every file of the sound folder, as short tones: a whole visit then takes seconds, not the
// minutes the spoken cues last. The music is the generated one, so that it plays for real.
void writeShortSoundFolder(const std::filesystem::path& folder) {
    for (const velozor::soundpack::CatalogueEntry& entry : velozor::soundpack::soundCatalogue()) {
        const std::filesystem::path file = folder / std::filesystem::u8path(entry.path);
        std::filesystem::create_directories(file.parent_path());
        if (entry.format == velozor::soundpack::FileFormat::Mp3) {
            std::filesystem::copy_file(
                std::filesystem::path(VELOZOR_SOUND_FOLDER) / std::filesystem::u8path(entry.path),
                file);
        } else {
            velozor::testing::writeWav(file, 6615, [](int frame) {
                return static_cast<int16_t>(9830 * std::sin(frame * 0.06));
            });
        }
    }
}

class VelozorProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        for (const char* tool : {"xdotool", "import", "convert", "xprop"}) {
            ASSERT_EQ(std::system((std::string("command -v ") + tool + " >/dev/null").c_str()), 0)
                << tool << " is missing: run scripts/deps.sh's package list";
        }
        // A copy of the program in a folder of its own, where each test puts the sound folder
        // it needs: without a whole one, the program's warning box would come before its window.
        char pattern[] = "/tmp/velozor-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        program = folder / "velozor";
        std::filesystem::copy_file(VELOZOR_PROGRAM, program);
    }
    void TearDown() override {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    std::filesystem::path program;
};

TEST_F(VelozorProgram, ShowsItsWindowAndCreditsPlaysByEarAndEndsCleanlyWhenClosed) {
    writeShortSoundFolder(folder / "sonidos");
    const std::string recording = (folder / "audio.raw").string();
    ProgramRun run;
    std::string error;
    ASSERT_TRUE(run.start(program, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording},
                          (folder / "trace.txt").string(), error))
        << error;

    EXPECT_EQ(commandOutput("xprop -id " + run.window() +
                            " _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)'"),
              "Icon (16 x 16)\nIcon (32 x 32)\nIcon (48 x 48)\n");
    // The credits are drawn in the label's area, and nothing dark anywhere else.
    Screenshot shot;
    ASSERT_TRUE(waitUntil(
        [&] {
            shot = screenshot(run.window());
            return shot.dark[3] == 0 && shot.dark[0] > 200;
        },
        10s))
        << "no credits text in the label's area of a " << shot.width << "x" << shot.height
        << " screenshot";
    EXPECT_EQ(shot.width, 203);
    EXPECT_EQ(shot.height, 249);
    EXPECT_EQ(shot.dark[1], 0) << "text left of the label";
    EXPECT_EQ(shot.dark[2], 0) << "text below the label";

    ASSERT_TRUE(run.pressUntilTraced("Right", "\tkey\t39\n", 20s)) << run.trace();
    ASSERT_TRUE(run.waitForTraced("\ttick\n", 20s)) << run.trace();
    // Each key is sent once its predecessor has been answered, as a player listens first: its
    // trace line, then the one that shows it was answered, appear after it is sent.
    const struct {
        const char* key;
        const char* sought;
        const char* after;
    } visit[] = {
        {"F1", "\tkey\t112\n", "\ttimer\ton\n"},      // help heard, play resumes
        {"Escape", "\tkey\t27\n", "\ttimer\toff\n"},  // end cue, then the menu
        {"Up", "\tkey\t38\n", "\tkey\t38\n"},         // "another game" announced
        {"Return", "\tkey\t13\n", "\ttimer\ton\n"},   // start cue, a new game
        {"Escape", "\tkey\t27\n", "\ttimer\toff\n"},  // back to the menu
    };
    for (const auto& step : visit) {
        const std::size_t sent = run.trace().size();
        ASSERT_TRUE(velozor::testing::pressKey(step.key));
        const auto answered = [&] {
            const std::string lines = run.trace();
            const std::size_t at = lines.find(step.sought, sent);
            return at != std::string::npos && lines.find(step.after, at) != std::string::npos;
        };
        ASSERT_TRUE(waitUntil(answered, 10s)) << step.key << " was not answered:\n" << run.trace();
    }

    run.requestClose();
    EXPECT_EQ(run.exitStatus(10s), 0) << run.trace();
    const std::string lines = run.trace();
    const auto close = lines.find("\tclose\n");
    const auto unload = lines.find("\tunload\n");
    const auto exit = lines.find("\texit\n");
    EXPECT_TRUE(close < unload && unload < exit && exit != std::string::npos) << lines;
    EXPECT_EQ(lines.find("velozor: "), std::string::npos) << "a failure reported:\n" << lines;
    // The mix really carried sound: the tones and the music, not a silent stream.
    EXPECT_GT(velozor::testing::loudSamples(recording), 44100u)
        << "bytes recorded: " << std::filesystem::file_size(recording);
}

// SIGTERM and SIGINT end the program with the statuses a shell expects, in the middle of the
// spoken introduction's 41 seconds of synchronous sound: long before it would have ended.
TEST_F(VelozorProgram, EndsPromptlyOnSigtermAndSigintDuringASynchronousSound) {
    std::filesystem::create_directory_symlink(VELOZOR_SOUND_FOLDER, folder / "sonidos");
    for (const auto& [signal, status] : {std::pair{SIGTERM, 0}, std::pair{SIGINT, 130}}) {
        ProgramRun signalled;
        std::string error;
        ASSERT_TRUE(signalled.start(program, {"SDL_AUDIODRIVER=dummy"},
                                    (folder / "trace.txt").string(), error))
            << error;
        ASSERT_TRUE(signalled.waitForTraced("\tload\n", 10s)) << signalled.trace();
        ::kill(signalled.pid(), signal);
        EXPECT_EQ(signalled.exitStatus(20s), status) << strsignal(signal) << "; trace:\n"
                                                     << signalled.trace();
    }
}

// Also in the menu's silence, where the audio thread sleeps on a sound server, a second at a time,
// holding the lock the sound's pause takes: the end wakes it instead of waiting out its sleep.
// The program times the stop itself and reports one over 100 ms. The signal comes within two
// looks (0.2 s) of the thread falling asleep, so a stop that waited would take 0.8 s or more.
TEST_F(VelozorProgram, EndsPromptlyOnSigtermWhileTheAudioThreadSleepsInTheMenu) {
    writeShortSoundFolder(folder / "sonidos");
    velozor::testing::PulseServer server(folder / "pulse");
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ProgramRun run;
    ASSERT_TRUE(
        run.start(program, {"SDL_AUDIODRIVER=pulseaudio"}, (folder / "trace.txt").string(), error))
        << error;
    ASSERT_TRUE(run.pressUntilTraced("Right", "\tkey\t39\n", 20s)) << run.trace();
    ASSERT_TRUE(velozor::testing::pressKey("Escape"));  // the menu: the music stops
    // The audio thread's voluntary context switches: hundreds a second while it mixes, none while
    // it sleeps.
    const std::string switches = "for t in /proc/" + std::to_string(run.pid()) +
                                 "/task/*; do grep -qs ^SDLAudioP $t/comm && sed -n "
                                 "'s/^voluntary_ctxt_switches:\\s*//p' $t/status; done";
    long seen = -1;
    bool mixing = false;
    const auto fellAsleep = [&] {
        const long now = std::atol(commandOutput(switches).c_str());
        const bool asleep = mixing && now == seen;
        mixing = now > seen + 1;
        seen = now;
        return asleep;
    };
    ASSERT_TRUE(waitUntil(fellAsleep, 20s)) << "the audio thread never slept:\n" << run.trace();
    ::kill(run.pid(), SIGTERM);
    EXPECT_EQ(run.exitStatus(10s), 0) << run.trace();
    EXPECT_EQ(run.trace().find("stopping the sound at the end took"), std::string::npos)
        << run.trace();
}

// A copy of the program whose Spanish sound folder holds the music alone: the start-up check's
// message names the 72 other files, and the game then plays with no other message.
class StartUpMessage : public VelozorProgram {
protected:
    void SetUp() override {
        VelozorProgram::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        std::filesystem::create_directories(folder / "sonidos");
        std::filesystem::copy_file(std::filesystem::path(VELOZOR_SOUND_FOLDER) / "fondo.mp3",
                                   folder / "sonidos/fondo.mp3");
    }

    void playUntilClosed(std::vector<std::string> environment, const std::string& awaited = "") {
        environment.push_back("SDL_AUDIODRIVER=dummy");
        environment.push_back("XDG_DATA_HOME=" + (folder / "data").string());
        std::string error;
        ASSERT_TRUE(run.start(program, environment, trace(), error)) << error;
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

    ProgramRun run;
};

TEST_F(StartUpMessage, AScreenReaderReadsTheWholeMessageAndClosesItWithItsButton) {
    ASSERT_EQ(std::system("command -v zenity >/dev/null"), 0)
        << "zenity is missing: run scripts/deps.sh's package list";
    // A session bus of the test's own, on which the accessibility bus starts when GTK asks.
    std::istringstream bus(
        commandOutput("dbus-daemon --session --fork --print-address=1 --print-pid=1"));
    std::string address;
    pid_t busProcess = -1;
    ASSERT_TRUE(bus >> address >> busProcess) << "dbus-daemon did not start";
    const std::string heard = (folder / "heard.txt").string();
    ProgramRun probe;
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

TEST_F(StartUpMessage, WithoutZenityStandardErrorHasTheMessageAndTheGameGoesOn) {
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
TEST_F(StartUpMessage, AnEnglishSystemGetsItsFolderAndTheMessageInEnglish) {
    const std::string sounds = (folder / "sounds").string();
    playUntilClosed({closedDialogs(), "LANGUAGE=", "LC_ALL=de_DE.UTF-8"},
                    "The music file “" + sounds + "/fondo.mp3” cannot be found.");
    EXPECT_TRUE(message().starts_with(
        "The sound folder " + sounds +
        " is incomplete: of its 73 files, 73 are missing. They are "
        "“intro/arch 1.wav”, “intro/arch 2.wav”, “intro/arch 3.wav”, “intro/arch 4.wav”, "
        "“fondo.mp3” and 68 more. The game goes on"))
        << run.trace();
    for (const std::string& line :
         {"velozor: sound file " + sounds + "/intro/arch 1.wav: missing\n",
          std::string("\" failed: Cannot find the specified file.")})
        EXPECT_NE(run.trace().find(line), std::string::npos) << line << "\n" << run.trace();
}

TEST_F(StartUpMessage, ThePlayersOwnFolderComesFirstAndIsNamedWhenIncomplete) {
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

// Without a display SDL would fall back to a driver that shows nothing and takes no keys, and
// the game would play on unreachable: it must refuse to start instead, in the player's language.
TEST(VelozorProgramStart, FailsWithOneLineAndStatusOneWithoutADisplay) {
    const struct {
        const char *driver, *language, *opening, *ending;
    } cases[] = {
        {"SDL_VIDEODRIVER=x11", "en", "velozor: cannot start SDL's video: ",
         "(start the game inside a graphical session)\nstatus 1\n"},
        {"-u SDL_VIDEODRIVER", "es", "velozor: no se puede iniciar el vídeo de SDL: ",
         "(empieza el juego dentro de una sesión gráfica)\nstatus 1\n"},
    };
    for (const auto& start : cases) {
        const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") +
                                    start.driver + " SDL_AUDIODRIVER=dummy timeout 20 " +
                                    VELOZOR_PROGRAM + " --language " + start.language +
                                    " 2>&1 | grep velozor:; echo \"status ${PIPESTATUS[0]}\"";
        const std::string result = commandOutput("bash -c '" + command + "'");
        EXPECT_EQ(result.rfind(start.opening, 0), 0) << start.driver << result;
        EXPECT_NE(result.find(start.ending), std::string::npos) << start.driver << result;
    }
}

}  // namespace
