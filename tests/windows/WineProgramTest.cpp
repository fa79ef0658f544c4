// Tests of velozor.exe, the Windows build, as a player meets it under Wine on the X display
// the tests run under (xvfb-run): its window, keys reaching the game and answered by their
// cues, the music through MCI, the sound folder's check, the error boxes, and the ways out. Every
// run uses a copy of the program in a folder whose name holds a space and an accented letter.
// Wine's null sound device does not play in real time, so the tests check what arrived, never how
// long it took.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ProgramProbe.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velozor::testing::commandOutput;
using velozor::testing::readFile;
using velozor::testing::waitUntil;

// Wine's own helpers are not needed: no .NET, no HTML, and no PulseAudio so that the sound
// goes to ALSA, whose default device the test's .asoundrc sends to files.
constexpr const char* kDllOverrides = "mscoree,mshtml,winepulse.drv=";

// The sample bytes of a PCM wave file and the capture name ALSA's file plugin gives a stream
// of its format ("r44100_c1_b16_"), or empty ones when the file is not PCM.
struct WaveData {
    std::string format;
    std::size_t frameBytes = 0;
    std::string samples;
};

WaveData waveData(const fs::path& file) {
    const std::string bytes = readFile(file);
    const auto number = [&](std::size_t at, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    WaveData wave;
    for (std::size_t at = 12; at + 8 <= bytes.size(); at += 8 + ((number(at + 4, 4) + 1) & ~1u)) {
        const std::string id = bytes.substr(at, 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            wave.format = "r" + std::to_string(number(at + 12, 4)) + "_c" +
                          std::to_string(number(at + 10, 2)) + "_b" +
                          std::to_string(number(at + 22, 2)) + "_";
            wave.frameBytes = number(at + 10, 2) * number(at + 22, 2) / 8;
        } else if (id == "data") {
            wave.samples = bytes.substr(at + 8, number(at + 4, 4));
        }
    }
    return wave;
}

// Counts the samples above -60 dBFS in raw audio of `Sample`s (int16_t or float).
template <typename Sample>
std::size_t audibleSamples(const std::string& bytes, Sample threshold) {
    std::size_t count = 0;
    for (std::size_t at = 0; at + sizeof(Sample) <= bytes.size(); at += sizeof(Sample)) {
        Sample sample;
        std::memcpy(&sample, bytes.data() + at, sizeof(Sample));
        count += sample > threshold || sample < -threshold;
    }
    return count;
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
        fs::create_directories(root / "home");
        fs::create_directories(root / "capture");
        // One file per stream format: a fixed name would be emptied by every new stream.
        std::ofstream(root / "home" / ".asoundrc")
            << "pcm.!default { type file; slave.pcm \"null\"; file \"|cat >> "
            << (root / "capture").string() << "/r%r_c%c_b%b_f%f.raw\"; format \"raw\" }\n";
        // wineboot's status is not a guide: without 32-bit Wine it reports a failure after
        // making a 64-bit prefix that serves. The prefix's registry is.
        std::system((environment(kDllOverrides) +
                     " timeout 180 sh -c 'wineboot -i && wineserver -w' >/dev/null 2>&1")
                        .c_str());
        prefixMade = fs::exists(root / "prefix" / "system.reg");
    }
    static void TearDownTestSuite() {
        if (root.empty())
            return;
        std::system((environment(kDllOverrides) + " timeout 30 wineserver -k 2>/dev/null").c_str());
        fs::remove_all(root);
    }

    // The settings every Wine call runs with, as a prefix for a shell command.
    static std::string environment(const std::string& overrides) {
        return "HOME='" + (root / "home").string() + "' WINEPREFIX='" + (root / "prefix").string() +
               "' WINEDEBUG=-all WINEDLLOVERRIDES='" + overrides + "' LANG=C.UTF-8 LC_ALL=C.UTF-8";
    }

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        ASSERT_TRUE(fs::exists(VELOZOR_WINDOWS_PROGRAM))
            << VELOZOR_WINDOWS_PROGRAM << " is missing: scripts/test builds it in build-windows";
        ASSERT_TRUE(prefixMade) << "wineboot -i could not make a Wine prefix in " << root;
        for (const fs::directory_entry& file : fs::directory_iterator(root / "capture"))
            fs::remove(file.path());
        folder = root / fs::u8path("Juegos de Ana ú");
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(VELOZOR_WINDOWS_PROGRAM, folder / "velozor.exe");
        fs::copy(VELOZOR_SOUND_FOLDER, folder / "sonidos", fs::copy_options::recursive);
        stderrPath = root / "stderr.txt";
        std::ofstream{stderrPath};
    }
    void TearDown() override {
        for (const std::string& window : windowsNamed("^Velozor"))
            commandOutput("xdotool windowkill " + window + " 2>/dev/null");
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        // Killed, and gone before the next case starts: a program started while the old
        // server is still going down finds no window station and cannot make its window.
        if (!root.empty()) {
            std::system((environment(kDllOverrides) +
                         " timeout 30 sh -c 'wineserver -k; wineserver -w' 2>/dev/null")
                            .c_str());
        }
    }

    enum class Launch {
        WithStandardError,  // from a shell: standard error goes to stderrPath
        FromTheDesktop,     // through "start", as Explorer does: no standard handles
    };

    // Starts the copy with VELOZOR_TRACE=1 from its folder.
    void start(Launch launch, const std::string& overrides = kDllOverrides) {
        const std::string command =
            "cd '" + folder.string() + "' && exec env " + environment(overrides) +
            " VELOZOR_TRACE=1 timeout 240 wine " +
            (launch == Launch::FromTheDesktop ? "start /wait velozor.exe" : "./velozor.exe") +
            " --language es" +  // the folder copied is sonidos, whatever Wine's language
            " 2>'" + stderrPath.string() + "' >/dev/null";
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            _exit(127);
        }
    }

    // The visible windows whose name matches `pattern` (a regular expression).
    static std::vector<std::string> windowsNamed(const std::string& pattern) {
        std::istringstream found(commandOutput("xdotool search --all --onlyvisible --name '" +
                                               pattern + "' 2>/dev/null"));
        std::vector<std::string> windows;
        for (std::string window; found >> window;)
            windows.push_back(window);
        return windows;
    }

    // Waits for a window named exactly `caption` and returns its id, or an empty text.
    std::string waitForWindow(const std::string& caption, std::chrono::seconds limit = 60s) {
        std::string window;
        waitUntil(
            [&] {
                const std::vector<std::string> windows = windowsNamed("^" + caption + "$");
                window = windows.empty() ? "" : windows.front();
                return !window.empty();
            },
            limit);
        return window;
    }

    // What a player does at a message box: Enter presses its OK button.
    static void dismiss(const std::string& box) {
        commandOutput("xdotool key --window " + box + " Return 2>&1");
    }

    // Enter until the box is gone: a box not yet ready for keys lets the first one pass.
    static bool dismissUntilGone(const std::string& box, const std::string& caption) {
        return waitUntil(
            [&] {
                dismiss(box);
                const std::vector<std::string> open = windowsNamed("^" + caption + "$");
                return std::find(open.begin(), open.end(), box) == open.end();
            },
            20s);
    }

    // Whether the standard error holds `text`, waiting up to `limit` for it.
    bool saysWithin(const std::string& text, std::chrono::seconds limit) const {
        return waitUntil([&] { return standardError().find(text) != std::string::npos; }, limit);
    }

    // Ends the Wine session as a logoff or shutdown does: WM_QUERYENDSESSION, WM_ENDSESSION.
    static void endTheSession() {
        commandOutput(environment(kDllOverrides) + " timeout 30 wineboot --end-session 2>&1");
    }

    // The program's text output, its Windows line ends (CR LF) made plain LF.
    static std::string textOf(const fs::path& file) {
        std::string text = readFile(file);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
    std::string standardError() const { return textOf(stderrPath); }
    std::string traceFile() const { return textOf(folder / "velozor-trace.txt"); }

    // The exit status, or -1 if the program has not ended within `limit`.
    int exitStatus(std::chrono::seconds limit) {
        int status = 0;
        if (!waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit))
            return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Every capture stream, by file name.
    std::vector<std::pair<std::string, std::string>> captures() const {
        std::vector<std::pair<std::string, std::string>> streams;
        for (const fs::directory_entry& file : fs::directory_iterator(root / "capture"))
            streams.emplace_back(file.path().filename().string(), readFile(file.path()));
        return streams;
    }

    // How many pieces of the sound file `name` (in the sound folder) arrived, sample for
    // sample, in the captures of its own format: seven pieces of 64 frames, spread over the
    // file, each counted as often as it is found. Several pieces, because the captures of two
    // streams of one format are interleaved in chunks, which may split any one piece.
    std::size_t arrivals(const std::string& name) const {
        const WaveData wave = waveData(folder / "sonidos" / fs::u8path(name));
        if (wave.frameBytes == 0)
            return 0;
        const std::size_t frames = wave.samples.size() / wave.frameBytes;
        std::size_t count = 0;
        for (const auto& [stream, bytes] : captures()) {
            if (stream.rfind(wave.format, 0) != 0)
                continue;
            for (std::size_t eighth = 1; eighth < 8; ++eighth) {
                const std::string piece = wave.samples.substr(frames * eighth / 8 * wave.frameBytes,
                                                              64 * wave.frameBytes);
                for (std::size_t at = bytes.find(piece); at != std::string::npos;
                     at = bytes.find(piece, at + piece.size()))
                    ++count;
            }
        }
        return count;
    }

    // The audible samples of the streams in formats no wave file of the sound folder has: the
    // music, which Wine decodes through DirectShow and plays at its mixer's format.
    std::size_t audibleSamplesOutsideTheWaveFormats() const {
        std::set<std::string> waveFormats;
        for (const fs::directory_entry& file :
             fs::recursive_directory_iterator(folder / "sonidos")) {
            if (file.path().extension() == ".wav")
                waveFormats.insert(waveData(file.path()).format);
        }
        std::size_t audible = 0;
        for (const auto& [stream, bytes] : captures()) {
            const std::string format = stream.substr(0, stream.find("_f") + 1);
            if (waveFormats.count(format) != 0)
                continue;
            audible += stream.find("FLOAT") != std::string::npos
                           ? audibleSamples<float>(bytes, 0.001f)
                           : audibleSamples<int16_t>(bytes, 33);
        }
        return audible;
    }

    static inline fs::path root;
    static inline bool prefixMade = false;
    fs::path folder;
    fs::path stderrPath;
    pid_t pid = -1;
};

TEST_F(WineProgram, PlaysByEarFromStartUpThroughKeysAndMusicToLeavingByTheMenu) {
    ASSERT_NO_FATAL_FAILURE(start(Launch::WithStandardError));
    const std::string window = waitForWindow("Velozor");
    ASSERT_FALSE(window.empty()) << "no window named Velozor appeared:\n" << standardError();
    const std::string geometry = commandOutput("xwininfo -id " + window);
    EXPECT_NE(geometry.find("Width: 203\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Height: 249\n"), std::string::npos) << geometry;

    const auto traced = [&](const std::string& line, std::size_t from = 0) {
        return standardError().find(line, from) != std::string::npos;
    };
    // The introduction is spoken, then the first tick starts the game and the music.
    ASSERT_TRUE(waitUntil([&] { return traced("\ttick\n"); }, 90s)) << standardError();
    EXPECT_GT(arrivals("intro/arch 1.wav"), 0u);

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
        const std::size_t sent = standardError().size();
        const std::size_t heard = arrivals(press.cue);
        commandOutput("xdotool key --window " + window + " " + press.key + " 2>&1");
        EXPECT_TRUE(waitUntil([&] { return traced(press.line, sent); }, 30s))
            << press.key << " did not reach the game:\n"
            << standardError();
        EXPECT_TRUE(waitUntil([&] { return arrivals(press.cue) > heard; }, 30s))
            << press.key << ": no " << press.cue;
    }
    EXPECT_EQ(exitStatus(60s), 0) << standardError();
    const std::string lines = standardError();
    EXPECT_LT(lines.find("\tunload\n"), lines.find("\texit\n")) << lines;
    EXPECT_EQ(lines.find("velozor: "), std::string::npos) << "a failure reported:\n" << lines;
    EXPECT_GT(audibleSamplesOutsideTheWaveFormats(), 4800u) << "the music was not heard";
}

TEST_F(WineProgram, TheWindowSystemsCloseRequestEndsItWithStatusZeroAndATraceFile) {
    ASSERT_NO_FATAL_FAILURE(start(Launch::FromTheDesktop));
    const std::string window = waitForWindow("Velozor");
    ASSERT_FALSE(window.empty()) << "no window named Velozor appeared";
    // Alt+F4 is Windows' close request (WM_CLOSE); it waits for the introduction to end.
    commandOutput("xdotool key --window " + window + " alt+F4 2>&1");
    EXPECT_EQ(exitStatus(90s), 0);
    // Started without standard error, the trace goes to the file beside the program.
    const std::string lines = traceFile();
    const auto close = lines.find("\tclose\n");
    const auto unload = lines.find("\tunload\n");
    const auto exit = lines.find("\texit\n");
    EXPECT_TRUE(lines.find("\tload\n") < close && close < unload && unload < exit &&
                exit != std::string::npos)
        << lines;
    EXPECT_EQ(lines.find("\tkey\t"), std::string::npos) << "Alt+F4 reached the game:\n" << lines;
}

TEST_F(WineProgram, AMissingMusicFileShowsTheGamesOwnBoxesAndTheGameGoesOn) {
    fs::remove(folder / "sonidos" / "fondo.mp3");
    ASSERT_NO_FATAL_FAILURE(start(Launch::WithStandardError));
    // The sound folder's check says so first.
    const std::string folderBox = waitForWindow("Velozor");
    ASSERT_FALSE(folderBox.empty()) << "no box from the sound folder's check:\n" << standardError();
    ASSERT_TRUE(dismissUntilGone(folderBox, "Velozor")) << "the sound folder's box did not close";
    // The short path of a missing file is empty, so the open and the play command each name
    // nothing and fail, each with its box; a watchdog closes them as a player would.
    for (const char* verb : {"OPEN", "PLAY"}) {
        const std::string box = waitForWindow("Velozor: error de sonido", 90s);
        ASSERT_FALSE(box.empty()) << "no error box for " << verb << ":\n" << standardError();
        EXPECT_TRUE(
            saysWithin(std::string("velozor: sound command \"") + verb + " \" failed: ", 10s))
            << standardError();
        ASSERT_TRUE(dismissUntilGone(box, "Velozor: error de sonido"))
            << "the " << verb << " box did not close";
    }
    // Play goes on: further ticks come, then the close request ends the game.
    const std::size_t boxesClosed = standardError().size();
    EXPECT_TRUE(waitUntil(
        [&] { return standardError().find("\ttick\n", boxesClosed) != std::string::npos; }, 30s));
    commandOutput("xdotool key --window " + waitForWindow("Velozor") + " alt+F4 2>&1");
    EXPECT_EQ(exitStatus(60s), 0) << standardError();
    EXPECT_EQ(audibleSamplesOutsideTheWaveFormats(), 0u) << "music from a missing file";
}

TEST_F(WineProgram, ADamagedFolderIsToldInOneBoxBeforeTheIntroductionAndTheSessionsEndEndsIt) {
    fs::remove(folder / "sonidos" / "fin.wav");
    const fs::path firstPart = folder / "sonidos" / "intro" / "arch 1.wav";
    fs::resize_file(firstPart, 44);  // its header only: no frame of sound
    ASSERT_NO_FATAL_FAILURE(start(Launch::WithStandardError));
    // The game's window stays hidden until the introduction: the one window is the box.
    const std::string box = waitForWindow("Velozor");
    ASSERT_FALSE(box.empty()) << "no message box:\n" << standardError();
    const std::string intro = "\\sonidos\\intro\\arch 1.wav: holds no sound after its header\n";
    EXPECT_TRUE(saysWithin("\\sonidos\\fin.wav: missing\n", 10s)) << standardError();
    EXPECT_NE(standardError().find(intro), std::string::npos) << standardError();
    EXPECT_EQ(standardError().find("\tload\n"), std::string::npos)
        << "the game started before the box was closed:\n"
        << standardError();
    const std::size_t boxClosed = standardError().size();
    ASSERT_TRUE(dismissUntilGone(box, "Velozor")) << "the box did not close";

    // The introduction starts; its damaged part is said once more, when it would play.
    EXPECT_TRUE(
        waitUntil([&] { return standardError().find(intro, boxClosed) != std::string::npos; }, 30s))
        << standardError();
    EXPECT_NE(standardError().find("\tload\n", boxClosed), std::string::npos);
    // The introduction's synchronous sounds hold the game's thread for some 40 s; the session's
    // end does not wait for them.
    endTheSession();
    EXPECT_EQ(exitStatus(5s), 0) << standardError();
    EXPECT_EQ(standardError().find("\tunload\n"), std::string::npos)
        << "it waited for the game to end:\n"
        << standardError();
}

TEST_F(WineProgram, TheWinmmBackEndsOwnTestsPassAndTheirSoundsArrive) {
    ASSERT_TRUE(fs::exists(VELOZOR_WINMM_TESTS)) << VELOZOR_WINMM_TESTS << " is missing";
    fs::copy_file(VELOZOR_WINMM_TESTS, folder / "velozor-winmm-tests.exe");
    const std::string result =
        commandOutput("cd '" + folder.string() + "' && " + environment(kDllOverrides) +
                      " timeout 120 wine ./velozor-winmm-tests.exe 2>&1; echo "
                      "\"status $?\"");
    EXPECT_NE(result.find("\nstatus 0\n"), std::string::npos) << result;
    for (const char* sound : {"obstáculos/obstáculo1/obstacle16.wav", "motor.wav", "menúOtro.wav"})
        EXPECT_GT(arrivals(sound), 0u) << sound << " was not heard";
}

TEST_F(WineProgram, WithoutWinmmItSaysSoInABoxAndEndsWithStatusOne) {
    ASSERT_NO_FATAL_FAILURE(
        start(Launch::WithStandardError, std::string(kDllOverrides) + ";winmm="));
    const std::string box = waitForWindow("Velozor");
    ASSERT_FALSE(box.empty()) << "no message box:\n" << standardError();
    EXPECT_EQ(
        standardError().rfind("velozor: cannot load the Windows multimedia library winmm.dll: ", 0),
        0u)
        << standardError();
    dismiss(box);
    EXPECT_EQ(exitStatus(30s), 1) << standardError();
}

}  // namespace
