// Tests of the velozor program as a player meets it, on the X display the tests run under
// (xvfb-run): its window, its credits on screen, a key reaching Form_KeyDown, and closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/ui/sdl/ProgramRun.h"
#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/WavFile.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::ProgramRun;
using velozor::testing::waitUntil;

// A screenshot in the binary greyscale PGM form ImageMagick writes.
struct Image {
    int width = 0;
    int height = 0;
    std::string grey;
    int luminance(int x, int y) const {
        return static_cast<unsigned char>(grey[static_cast<std::size_t>(y) * width + x]);
    }
    int darkPixels(int left, int top, int right, int bottom) const {
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, width); ++x)
                count += luminance(x, y) < 100;
        }
        return count;
    }
};

Image screenshot(const std::string& windowId) {
    const std::string pgm = commandOutput("import -window " + windowId +
                                          " -colorspace Rec601Luma -depth 8 pgm:- 2>/dev/null");
    Image image;
    std::istringstream header(pgm);
    std::string magic;
    int maximum = 0;
    header >> magic >> image.width >> image.height >> maximum;
    if (magic != "P5" || maximum != 255 || image.width <= 0 || image.height <= 0)
        return {};
    image.grey = pgm.substr(static_cast<std::size_t>(header.tellg()) + 1);  // one blank after 255
    if (image.grey.size() < static_cast<std::size_t>(image.width) * image.height)
        return {};
    return image;
}

void writeShortSoundFolder(const std::filesystem::path& folder);

class VelozorProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        for (const char* tool : {"xdotool", "import"}) {
            ASSERT_EQ(std::system((std::string("command -v ") + tool + " >/dev/null").c_str()), 0)
                << tool << " is missing: run scripts/deps.sh's package list";
        }
        // A copy of the program in a folder of its own, without the sound folder: every sound
        // is the back end's default tone, so the introduction lasts about a second instead of
        // the forty of the spoken one, and the test does not depend on the sound pack.
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

    // Starts the copy and waits for its window. `audio` are the SDL audio settings: silent by
    // default.
    void start(std::vector<std::string> audio = {"SDL_AUDIODRIVER=dummy"}) {
        std::string error;
        ASSERT_TRUE(run.start(program, audio, (folder / "trace.txt").string(), error)) << error;
    }

    std::string trace() const { return run.trace(); }

    std::filesystem::path folder;
    std::filesystem::path program;
    ProgramRun run;
};

TEST_F(VelozorProgram, ShowsItsWindowAndCreditsAndEndsCleanlyWhenClosed) {
    writeShortSoundFolder(folder / "sonidos");  // complete: no message holds the game up
    ASSERT_NO_FATAL_FAILURE(start());

    // The icon carries every size it was drawn at.
    EXPECT_EQ(run.iconSizes(), (std::set<unsigned long>{16, 32, 48}));

    // The credits are drawn in the label's area, and nothing dark anywhere else.
    Image image;
    const bool drawn = waitUntil(
        [&] {
            image = screenshot(run.window());
            // Until its first paint a window may show black: wait for the light background.
            return image.width > 0 && image.luminance(1, 1) > 200 &&
                   image.darkPixels(10, 8, 193, 130) > 200;
        },
        10s);
    ASSERT_TRUE(drawn) << "no credits text in the label's area of a " << image.width << "x"
                       << image.height << " screenshot";
    EXPECT_EQ(image.width, 203);
    EXPECT_EQ(image.height, 249);
    EXPECT_EQ(image.darkPixels(0, 0, 9, image.height), 0) << "text left of the label";
    EXPECT_EQ(image.darkPixels(0, 130, image.width, image.height), 0) << "text below the label";

    run.requestClose();
    EXPECT_EQ(run.exitStatus(10s), 0) << "trace:\n" << trace();
    const std::string lines = trace();
    const auto close = lines.find("\tclose\n");
    const auto unload = lines.find("\tunload\n");
    const auto exit = lines.find("\texit\n");
    EXPECT_TRUE(close < unload && unload < exit && exit != std::string::npos) << lines;
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

TEST_F(VelozorProgram, PlaysByEarFromStartUpThroughTheMenuToLeaving) {
    writeShortSoundFolder(folder / "sonidos");
    const std::string recording = (folder / "audio.raw").string();
    ASSERT_NO_FATAL_FAILURE(start({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording}));
    ASSERT_TRUE(run.pressUntilTraced("Right", "\tkey\t39\n", 20s)) << trace();
    ASSERT_TRUE(waitUntil([&] { return run.traced("\ttick\n"); }, 20s)) << trace();

    // Each key is sent once its predecessor has been answered, as a player listens first: its
    // trace line, then the one that shows it was answered, appear after it is sent.
    const std::tuple<std::string, std::string, std::string> visit[] = {
        {"F1", "\tkey\t112\n", "\ttimer\ton\n"},      // help heard, play resumes
        {"Escape", "\tkey\t27\n", "\ttimer\toff\n"},  // end cue, then the menu
        {"Up", "\tkey\t38\n", "\tkey\t38\n"},         // "another game" announced
        {"Return", "\tkey\t13\n", "\ttimer\ton\n"},   // start cue, a new game
        {"Escape", "\tkey\t27\n", "\ttimer\toff\n"},  // back to the menu
        {"Escape", "\tkey\t27\n", "\texit\n"},        // end cue, and the program leaves
    };
    for (const auto& step : visit) {
        // Not structured bindings: clang 14 (the sanitizer build's) cannot capture those.
        const std::string& key = std::get<0>(step);
        const std::string& sought = std::get<1>(step);
        const std::string& after = std::get<2>(step);
        const std::size_t sent = trace().size();
        ASSERT_EQ(std::system(("xdotool key " + key).c_str()), 0);
        const auto answered = [&] {
            const std::string lines = trace();
            const std::size_t at = lines.find(sought, sent);
            return at != std::string::npos && lines.find(after, at) != std::string::npos;
        };
        ASSERT_TRUE(waitUntil(answered, 10s)) << key << " was not answered; trace:\n" << trace();
    }
    EXPECT_EQ(run.exitStatus(10s), 0) << trace();

    // The mix really carried sound: the tones and the music, not a silent stream.
    EXPECT_GT(velozor::testing::loudSamples(recording), 44100u)
        << "bytes recorded: " << std::filesystem::file_size(recording);
}

// SIGTERM and SIGINT end the program at once, even in the middle of the spoken introduction's
// 41 seconds of synchronous sound, with the statuses a shell expects.
TEST_F(VelozorProgram, EndsPromptlyOnSigtermAndSigintDuringASynchronousSound) {
    std::filesystem::create_directory_symlink(VELOZOR_SOUND_FOLDER, folder / "sonidos");
    for (const auto& [signal, status] : {std::pair{SIGTERM, 0}, std::pair{SIGINT, 130}}) {
        ProgramRun signalled;
        std::string error;
        ASSERT_TRUE(signalled.start(program, {"SDL_AUDIODRIVER=dummy"},
                                    (folder / "trace.txt").string(), error))
            << error;
        ASSERT_TRUE(waitUntil([&] { return signalled.traced("\tload\n"); }, 10s))
            << signalled.trace();
        signalled.signal(signal);
        EXPECT_EQ(signalled.exitStatus(3s), status)
            << strsignal(signal) << "; trace:\n" << signalled.trace();
    }
}

// Without a display SDL would fall back to a driver that shows nothing and takes no keys, and
// the game would play on unreachable: it must refuse to start instead.
TEST(VelozorProgramStart, FailsWithOneLineAndStatusOneWithoutADisplay) {
    for (const std::string driver : {"SDL_VIDEODRIVER=x11", "-u SDL_VIDEODRIVER"}) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + driver +
                                    " SDL_AUDIODRIVER=dummy timeout 20 " + VELOZOR_PROGRAM +
                                    " 2>&1 | grep velozor:; echo \"status ${PIPESTATUS[0]}\"";
        const std::string result = commandOutput("bash -c '" + command + "'");
        EXPECT_EQ(result.rfind("velozor: cannot start SDL's video: ", 0), 0) << driver << result;
        EXPECT_NE(result.find("(start the game inside a graphical session)\nstatus 1\n"),
                  std::string::npos)
            << driver << result;
    }
}

}  // namespace
