// Tests of velozor.exe, the Windows build, as a player meets it under Wine on the X display
// the tests run under (xvfb-run): its window, keys reaching the game and answered by their
// cues, the music through MCI, the sound folder's check, the error boxes, and the ways out. Every
// run uses a copy of the program in a folder whose name holds a space and an accented letter.
// Wine's null sound device does not play in real time, so the tests check what arrived, never how
// long it took.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"
#include "tools/soundpack/WavFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::pressKey;
using velozor::testing::ProgramRun;
using velozor::testing::readFile;
using velozor::testing::waitUntil;
using velozor::testing::WindowOf;

// Wine's own helpers are not needed: no .NET, no HTML, and no PulseAudio so that the sound
// goes to ALSA, whose default device the test's .asoundrc sends to files.
constexpr const char* kDllOverrides = "mscoree,mshtml,winepulse.drv=";

// The name ALSA's file plugin gives a capture of 16-bit samples at the sound folder's rate, the
// format of every wave file there.
std::string waveFormat(int channels) {
    return "r" + std::to_string(velozor::soundpack::kSampleRate) + "_c" + std::to_string(channels) +
           "_b16_";
}

class WineProgram : public ::testing::Test {
protected:
    // One Wine prefix for the whole suite: making it takes 15 to 25 s.
    static void SetUpTestSuite() {
        if (std::getenv("DISPLAY") == nullptr)
            return;
        char pattern[] = "/tmp/velozor-wine-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            return;
        root = pattern;
        for (const char* part : {"home", "capture", "locales"})
            fs::create_directories(root / part);
        // One file per stream format: a fixed name would be emptied by every new stream.
        std::ofstream(root / "home" / ".asoundrc")
            << "pcm.!default { type file; slave.pcm \"null\"; file \"|cat >> "
            << (root / "capture").string() << "/r%r_c%c_b%b_f%f.raw\"; format \"raw\" }\n";
        // Wine's locales, made here so that none of the machine's own is needed (LOCPATH).
        for (const std::string locale : {"es_ES", "en_US"})
            commandOutput("localedef -i " + locale + " -f UTF-8 " + (root / "locales").string() +
                          "/" + locale + ".UTF-8");
        // wineboot's status is not a guide: without 32-bit Wine it reports a failure after
        // making a 64-bit prefix that serves. The prefix's registry is.
        wine("timeout 180 sh -c 'wineboot -i && wineserver -w'");
        prefixMade = fs::exists(root / "prefix" / "system.reg") &&
                     fs::exists(root / "locales" / "en_US.UTF-8");
    }
    static void TearDownTestSuite() {
        if (root.empty())
            return;
        wine("timeout 30 wineserver -k");
        fs::remove_all(root);
    }

    // The settings every Wine call runs with. Wine's interface language is the locale's, and
    // velozor.exe speaks it (GetUserDefaultUILanguage): Spanish unless a case asks otherwise.
    static std::vector<std::string> environment(const std::string& overrides = kDllOverrides,
                                                const std::string& locale = "es_ES.UTF-8") {
        return {"HOME=" + (root / "home").string(),
                "WINEPREFIX=" + (root / "prefix").string(),
                "WINEDEBUG=-all",
                "WINEDLLOVERRIDES=" + overrides,
                "LOCPATH=" + (root / "locales").string(),
                "LANG=" + locale,
                "LC_ALL=" + locale};
    }
    // Runs a shell command with those settings; its output, errors included.
    static std::string wine(const std::string& command) {
        std::string settings = "env";
        for (const std::string& setting : environment())
            settings += " '" + setting + "'";
        return commandOutput(settings + " " + command + " 2>&1");
    }

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        ASSERT_TRUE(fs::exists(VELOZOR_WINDOWS_PROGRAM))
            << VELOZOR_WINDOWS_PROGRAM << " is missing: scripts/test builds it in build-windows";
        ASSERT_TRUE(prefixMade) << "no Wine prefix or no locales (localedef) in " << root;
        for (const fs::directory_entry& file : fs::directory_iterator(root / "capture"))
            fs::remove(file.path());
        folder = root / fs::u8path("Juegos de Ana ú");
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(VELOZOR_WINDOWS_PROGRAM, folder / "velozor.exe");
        fs::copy(VELOZOR_SOUND_FOLDER, folder / "sonidos", fs::copy_options::recursive);
    }
    void TearDown() override {
        for (const std::string& window : velozor::testing::windowsNamed("^Velozor"))
            commandOutput("xdotool windowkill " + window + " 2>/dev/null");
        run.reset();
        // Killed, and gone before the next case starts: a program started while the old
        // server is still going down finds no window station and cannot make its window.
        if (!root.empty())
            wine("timeout 30 sh -c 'wineserver -k; wineserver -w'");
    }

    enum class Launch {
        WithStandardError,  // from a shell: the trace and the failures go to standard error
        FromTheDesktop,     // through "start", as Explorer does: no standard handles, so the
                            // trace goes to the file beside the program
    };

    // Starts the copy with VELOZOR_TRACE=1 from its folder, Wine in English when `sounds` is.
    void start(Launch launch, const std::string& overrides = kDllOverrides) {
        std::vector<std::string> command = {"timeout", "240", "wine", "./velozor.exe"};
        if (launch == Launch::FromTheDesktop)
            command = {"timeout", "240", "wine", "start", "/wait", "velozor.exe"};
        std::vector<std::string> settings =
            environment(overrides, sounds == "sounds" ? "en_US.UTF-8" : "es_ES.UTF-8");
        settings.push_back("VELOZOR_TRACE=1");
        run = std::make_unique<ProgramRun>();
        std::string error;
        const fs::path traceFile =
            launch == Launch::FromTheDesktop ? folder / "velozor-trace.txt" : "";
        ASSERT_TRUE(run->launch({command, settings, folder, root / "stderr.txt", traceFile}, error))
            << error;
    }

    std::string window(const std::string& caption, std::chrono::seconds limit = 60s) const {
        return run->waitForWindow(caption, limit, WindowOf::AnyProcess);
    }

    // Enter (a message box's OK) until the box is gone: a box not yet ready for keys lets the
    // first one pass.
    static bool dismiss(const std::string& box, const std::string& caption) {
        return waitUntil(
            [&] {
                pressKey("Return", box);
                const auto open = velozor::testing::windowsNamed("^" + caption + "$");
                return std::find(open.begin(), open.end(), box) == open.end();
            },
            20s);
    }

    // Every capture stream, by file name.
    std::vector<std::pair<std::string, std::string>> captures() const {
        std::vector<std::pair<std::string, std::string>> streams;
        for (const fs::directory_entry& file : fs::directory_iterator(root / "capture"))
            streams.emplace_back(file.path().filename().string(), readFile(file.path()));
        return streams;
    }

    // How many pieces of the sound file `name` (in the sound folder) arrived, sample for
    // sample, in the captures of its own format: seven pieces of 256 bytes, spread over the
    // file, each counted as often as it is found. Several pieces, because the captures of two
    // streams of one format are interleaved in chunks, which may split any one piece.
    std::size_t arrivals(const std::string& name) const {
        const auto wave = velozor::soundpack::readWav(folder / sounds / fs::u8path(name));
        std::string samples;
        for (const float sample : wave.audio.samples) {
            const auto value = static_cast<int16_t>(std::lround(sample * 32768.0f));
            samples.append(reinterpret_cast<const char*>(&value), 2);
        }
        std::size_t count = 0;
        for (const auto& [stream, bytes] : captures()) {
            if (stream.rfind(waveFormat(wave.audio.channels), 0) != 0)
                continue;
            for (std::size_t eighth = 1; eighth < 8; ++eighth) {
                const std::string piece = samples.substr(samples.size() / 2 * eighth / 8 * 2, 256);
                for (std::size_t at = bytes.find(piece); at != std::string::npos;
                     at = bytes.find(piece, at + piece.size()))
                    ++count;
            }
        }
        return count;
    }

    // The samples above -60 dBFS of the streams in other formats than the wave files': the
    // music, which Wine decodes through DirectShow and plays at its mixer's format.
    std::size_t musicSamples() const {
        std::size_t audible = 0;
        for (const auto& [stream, bytes] : captures()) {
            if (stream.rfind(waveFormat(1), 0) == 0 || stream.rfind(waveFormat(2), 0) == 0)
                continue;
            const bool floats = stream.find("FLOAT") != std::string::npos;
            for (std::size_t at = 0; at + 4 <= bytes.size(); at += floats ? 4 : 2) {
                float value = 0;
                int16_t sample = 0;
                std::memcpy(floats ? static_cast<void*>(&value) : &sample, bytes.data() + at,
                            floats ? 4 : 2);
                audible += std::abs(floats ? value : sample / 32768.0f) > 0.001f;
            }
        }
        return audible;
    }

    static inline fs::path root;
    static inline bool prefixMade = false;
    fs::path folder;
    std::string sounds = "sonidos";  // the sound folder beside the copy, the one it plays
    std::unique_ptr<ProgramRun> run;
};

// Started from the desktop, as players start it.
TEST_F(WineProgram, PlaysByEarFromTheDesktopThroughKeysAndMusicToLeavingByTheMenu) {
    ASSERT_NO_FATAL_FAILURE(start(Launch::FromTheDesktop));
    const std::string game = window("Velozor");
    ASSERT_FALSE(game.empty()) << "no window named Velozor appeared:\n" << run->trace();
    const std::string geometry = commandOutput("xwininfo -id " + game);
    EXPECT_NE(geometry.find("Width: 203\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Height: 249\n"), std::string::npos) << geometry;

    // The introduction is spoken, then the first tick starts the game and the music; the music
    // is listened to before any key ends the game.
    ASSERT_TRUE(run->waitForTraced("\ttick\n", 90s)) << run->trace();
    EXPECT_GT(arrivals("intro/arch 1.wav"), 0u);
    EXPECT_TRUE(waitUntil([&] { return musicSamples() > 4800; }, 60s)) << "no music was heard";

    // Each key once the one before has been answered: its trace line, then its cue's samples.
    const struct {
        const char* key;
        const char* line;
        const char* cue;
    } keys[] = {
        {"Left", "\tkey\t37\n", "izquierda.wav"},  // the left lane, named
        {"Right", "\tkey\t39\n", "centro.wav"},    // back to the centre
        {"Escape", "\tkey\t27\n", "introd.wav"},   // the end cue, then the menu's opening
        {"Escape", "\tkey\t27\n", "fin.wav"},      // the end cue again, and leaving
    };
    for (const auto& press : keys) {
        const std::size_t sent = run->trace().size();
        const std::size_t heard = arrivals(press.cue);
        pressKey(press.key, game);
        EXPECT_TRUE(run->waitForTraced(press.line, 60s, sent))
            << press.key << " did not reach the game:\n"
            << run->trace();
        EXPECT_TRUE(waitUntil([&] { return arrivals(press.cue) > heard; }, 60s))
            << press.key << ": no " << press.cue;
    }
    EXPECT_EQ(run->exitStatus(60s), 0) << run->trace();
    const std::string lines = run->trace();
    EXPECT_LT(lines.find("\tunload\n"), lines.find("\texit\n")) << lines;
}

// In English: Wine's locale chooses the folder sounds (the only one beside the copy) and the
// boxes' words.
TEST_F(WineProgram, AMissingMusicShowsTheGamesOwnBoxesTheGameGoesOnAndTheCloseRequestEndsIt) {
    sounds = "sounds";
    fs::remove_all(folder / "sonidos");
    fs::copy(fs::path(VELOZOR_SOUND_FOLDER).parent_path() / sounds, folder / sounds,
             fs::copy_options::recursive);
    fs::remove(folder / sounds / "fondo.mp3");
    ASSERT_NO_FATAL_FAILURE(start(Launch::WithStandardError));
    // The sound folder's check says so first.
    const std::string folderBox = window("Velozor");
    ASSERT_FALSE(folderBox.empty()) << "no box from the sound folder's check:\n" << run->trace();
    ASSERT_TRUE(dismiss(folderBox, "Velozor")) << "the sound folder's box did not close";
    // The short path of a missing file is empty, so the open and the play command each name
    // nothing and fail, each with its box.
    for (const char* verb : {"OPEN", "PLAY"}) {
        const std::string box = window("Velozor: sound error", 90s);
        ASSERT_FALSE(box.empty()) << "no error box for " << verb << ":\n" << run->trace();
        EXPECT_TRUE(run->waitForTraced(
            std::string("velozor: sound command \"") + verb + " \" failed: ", 10s))
            << run->trace();
        ASSERT_TRUE(dismiss(box, "Velozor: sound error")) << "the " << verb << " box";
    }
    // Play goes on: further ticks come, after the English introduction. Alt+F4 is then Windows'
    // close request (WM_CLOSE), not a key of the game's.
    EXPECT_TRUE(run->waitForTraced("\ttick\n", 30s, run->trace().size())) << "play did not go on";
    EXPECT_GT(arrivals("intro/arch 1.wav"), 0u) << "the introduction of sounds was not heard";
    const std::size_t closing = run->trace().size();
    pressKey("alt+F4", window("Velozor"));
    EXPECT_EQ(run->exitStatus(60s), 0) << run->trace();
    const std::string lines = run->trace();
    const auto close = lines.find("\tclose\n", closing);
    const auto unload = lines.find("\tunload\n", closing);
    const auto exit = lines.find("\texit\n", closing);
    EXPECT_TRUE(close < unload && unload < exit && exit != std::string::npos) << lines;
    EXPECT_EQ(lines.find("\tkey\t", closing), std::string::npos) << "Alt+F4 reached the game";
    EXPECT_EQ(musicSamples(), 0u) << "music from a missing file";
}

TEST_F(WineProgram, ADamagedFolderIsToldInOneBoxBeforeTheIntroductionAndTheSessionsEndEndsIt) {
    fs::remove(folder / "sonidos" / "fin.wav");
    const fs::path firstPart = folder / "sonidos" / "intro" / "arch 1.wav";
    fs::resize_file(firstPart, 44);  // its header only: no frame of sound
    ASSERT_NO_FATAL_FAILURE(start(Launch::WithStandardError));
    // The game's window stays hidden until the introduction: the one window is the box.
    const std::string box = window("Velozor");
    ASSERT_FALSE(box.empty()) << "no message box:\n" << run->trace();
    const std::string intro = "\\sonidos\\intro\\arch 1.wav: no tiene sonido tras su cabecera\n";
    EXPECT_TRUE(run->waitForTraced("\\sonidos\\fin.wav: falta\n", 10s)) << run->trace();
    EXPECT_TRUE(run->traced(intro)) << run->trace();
    EXPECT_FALSE(run->traced("\tload\n")) << "the game started before the box was closed";
    const std::size_t boxClosed = run->trace().size();
    ASSERT_TRUE(dismiss(box, "Velozor")) << "the box did not close";

    // The introduction starts; its damaged part is said once more, when it would play.
    EXPECT_TRUE(run->waitForTraced(intro, 30s, boxClosed)) << run->trace();
    EXPECT_TRUE(run->traced("\tload\n", boxClosed));
    // The introduction's synchronous sounds hold the game's thread for some 40 s; the session's
    // end (WM_QUERYENDSESSION, WM_ENDSESSION) does not wait for them.
    wine("timeout 30 wineboot --end-session");
    EXPECT_EQ(run->exitStatus(30s), 0) << run->trace();
    EXPECT_FALSE(run->traced("\tunload\n")) << "it waited for the game to end:\n" << run->trace();
}

TEST_F(WineProgram, TheWinmmBackEndsOwnTestsPassAndTheirSoundsArrive) {
    ASSERT_TRUE(fs::exists(VELOZOR_WINMM_TESTS)) << VELOZOR_WINMM_TESTS << " is missing";
    fs::copy_file(VELOZOR_WINMM_TESTS, folder / "velozor-winmm-tests.exe");
    const std::string result =
        wine("sh -c \"cd '" + folder.string() +
             "' && timeout 120 wine ./velozor-winmm-tests.exe; echo status \\$?\"");
    EXPECT_NE(result.find("\nstatus 0\n"), std::string::npos) << result;
    for (const char* sound : {"obstáculos/obstáculo1/obstacle16.wav", "motor.wav", "menúOtro.wav"})
        EXPECT_GT(arrivals(sound), 0u) << sound << " was not heard";
}

TEST_F(WineProgram, WithoutWinmmItSaysSoInABoxAndEndsWithStatusOne) {
    ASSERT_NO_FATAL_FAILURE(
        start(Launch::WithStandardError, std::string(kDllOverrides) + ";winmm="));
    const std::string box = window("Velozor");
    ASSERT_FALSE(box.empty()) << "no message box:\n" << run->trace();
    EXPECT_EQ(run->trace().rfind(
                  "velozor: no se puede cargar la biblioteca multimedia de Windows winmm.dll: ", 0),
              0u)
        << run->trace();
    ASSERT_TRUE(dismiss(box, "Velozor")) << "the box did not close";
    EXPECT_EQ(run->exitStatus(30s), 1) << run->trace();
}

}  // namespace
