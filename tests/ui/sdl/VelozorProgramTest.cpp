// Tests of the velozor program as a player meets it, on the X display the tests run under
// (xvfb-run): its window and credits, a visit by ear through the keys and the menu, and the ways
// it ends (the close request, signals, no display).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"
#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/WavFile.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::ProgramRun;
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
    namespace pack = velozor::soundpack;
    for (const pack::CatalogueEntry& entry : pack::soundCatalogue()) {
        const std::filesystem::path file = folder / std::filesystem::u8path(entry.path);
        std::filesystem::create_directories(file.parent_path());
        if (entry.format == pack::FileFormat::Mp3) {
            std::filesystem::copy_file(
                std::filesystem::path(VELOZOR_SOUND_FOLDER) / std::filesystem::u8path(entry.path),
                file);
            continue;
        }
        pack::AudioBuffer tone{1, std::vector<float>(pack::framesFor(0.15))};
        for (std::size_t frame = 0; frame < tone.samples.size(); ++frame)
            tone.samples[frame] = 0.3f * static_cast<float>(std::sin(frame * 0.06));
        pack::writeWav(file, tone);
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
    const auto trace = [&] { return run.trace(); };

    // The icon carries every size it was drawn at.
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

    ASSERT_TRUE(run.pressUntilTraced("Right", "\tkey\t39\n", 20s)) << trace();
    ASSERT_TRUE(run.waitForTraced("\ttick\n", 20s)) << trace();
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
        const std::size_t sent = trace().size();
        ASSERT_TRUE(velozor::testing::pressKey(step.key));
        const auto answered = [&] {
            const std::string lines = trace();
            const std::size_t at = lines.find(step.sought, sent);
            return at != std::string::npos && lines.find(step.after, at) != std::string::npos;
        };
        ASSERT_TRUE(waitUntil(answered, 10s)) << step.key << " was not answered:\n" << trace();
    }

    run.requestClose();
    EXPECT_EQ(run.exitStatus(10s), 0) << trace();
    const std::string lines = trace();
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
