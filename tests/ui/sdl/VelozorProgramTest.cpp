// Tests of the velozor program as a player meets it, on the X display the tests run under
// (xvfb-run): its window, its credits on screen, a key reaching Form_KeyDown, and closing.
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break gtest's own names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/WavFile.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls `ready` every 50 ms until it holds or `limit` has passed.
bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!ready()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// Runs a shell command and returns its standard output.
std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t count;
        while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, count);
        pclose(pipe);
    }
    return text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A screenshot in the binary PPM form ImageMagick writes.
struct Image {
    int width = 0;
    int height = 0;
    std::string rgb;
    int luminance(int x, int y) const {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return (299 * static_cast<unsigned char>(rgb[at]) +
                587 * static_cast<unsigned char>(rgb[at + 1]) +
                114 * static_cast<unsigned char>(rgb[at + 2])) /
               1000;
    }
    int darkPixels(int left, int top, int right, int bottom) const {
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, width); ++x) {
                if (luminance(x, y) < 100)
                    ++count;
            }
        }
        return count;
    }
};

Image screenshot(const std::string& windowId) {
    const std::string ppm = output("import -window " + windowId + " -depth 8 ppm:- 2>/dev/null");
    Image image;
    std::istringstream header(ppm);
    std::string magic;
    int maximum = 0;
    header >> magic >> image.width >> image.height >> maximum;
    if (magic != "P6" || maximum != 255 || image.width <= 0 || image.height <= 0)
        return {};
    const auto start = static_cast<std::size_t>(header.tellg()) + 1;  // one blank after 255
    image.rgb = ppm.substr(start);
    if (image.rgb.size() < static_cast<std::size_t>(image.width) * image.height * 3)
        return {};
    return image;
}

class VelozorProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        for (const char* tool : {"xdotool", "import"}) {
            ASSERT_EQ(std::system((std::string("command -v ") + tool + " >/dev/null").c_str()), 0)
                << tool << " is missing: run scripts/deps.sh's package list";
        }
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "cannot open the display " << std::getenv("DISPLAY");
        // A copy of the program in a folder of its own, without the sound folder: every sound
        // is the back end's default tone, so the introduction lasts about a second instead of
        // the forty of the spoken one, and the test does not depend on the sound pack.
        char pattern[] = "/tmp/velozor-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        program = folder / "velozor";
        std::filesystem::copy_file(VELOZOR_PROGRAM, program);
        tracePath = (folder / "trace.txt").string();
        std::ofstream{tracePath};
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (display != nullptr)
            XCloseDisplay(display);
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // Starts the copy with its trace on and standard error into the trace file. `audio` are
    // the SDL audio settings: silent by default.
    void start(std::vector<std::string> audio = {"SDL_AUDIODRIVER=dummy"}) {
        std::vector<std::string> settings = std::move(audio);
        settings.push_back("VELOZOR_TRACE=1");
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string entry(*variable);
            if (entry.rfind("SDL_AUDIO", 0) != 0 && entry.rfind("SDL_DISKAUDIO", 0) != 0 &&
                entry.rfind("VELOZOR_TRACE=", 0) != 0) {
                settings.push_back(entry);
            }
        }
        std::vector<char*> environment;
        for (std::string& entry : settings)
            environment.push_back(entry.data());
        environment.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, tracePath.c_str(), O_WRONLY | O_TRUNC, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        std::string path = program.string();
        char* arguments[] = {path.data(), nullptr};
        ASSERT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, arguments, environment.data()),
                  0)
            << "cannot start " << path;
        posix_spawn_file_actions_destroy(&actions);
    }

    std::string trace() const { return readFile(tracePath); }

    // The window of our process named exactly "Velozor", once it is on screen.
    std::string findWindow() {
        std::string id;
        waitUntil(
            [&] {
                std::istringstream found(output("xdotool search --all --onlyvisible --pid " +
                                                std::to_string(pid) +
                                                " --name '^Velozor$' 2>/dev/null"));
                found >> id;
                return !id.empty();
            },
            20s);
        return id;
    }

    // What a window manager sends when the user closes the window: WM_DELETE_WINDOW.
    void requestClose(const std::string& windowId) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::stoul(windowId);
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
        XFlush(display);
    }

    // The sizes of the images in the window's _NET_WM_ICON.
    std::set<int> iconSizes(const std::string& windowId) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::set<int> sizes;
        if (XGetWindowProperty(display, std::stoul(windowId),
                               XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data) != Success ||
            data == nullptr) {
            return sizes;
        }
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            const unsigned long width = values[at];
            const unsigned long height = values[at + 1];
            if (width == height)
                sizes.insert(static_cast<int>(width));
            at += 2 + width * height;
        }
        XFree(data);
        return sizes;
    }

    // The exit status, or -1 if the process has not ended within `limit`.
    int exitStatus(std::chrono::milliseconds limit) {
        int status = 0;
        const bool ended = waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit);
        if (!ended)
            return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    Display* display = nullptr;
    std::filesystem::path folder;
    std::filesystem::path program;
    std::string tracePath;
    pid_t pid = -1;
};

TEST_F(VelozorProgram, ShowsItsWindowTakesAKeyAndEndsCleanlyWhenClosed) {
    start();
    const std::string window = findWindow();
    ASSERT_FALSE(window.empty()) << "no window named Velozor appeared; trace:\n" << trace();

    // The icon carries every size it was drawn at.
    EXPECT_EQ(iconSizes(window), (std::set<int>{16, 32, 48}));

    // The credits are drawn in the label's area, and nothing dark anywhere else.
    Image image;
    const bool drawn = waitUntil(
        [&] {
            image = screenshot(window);
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
    EXPECT_GT(image.luminance(1, 1), 200) << "the background is not light";

    // With the pointer off the window, keys reach the program only through the keyboard
    // focus its window holds. Keys sent before it holds it are lost, so send until one lands.
    ASSERT_EQ(std::system("xdotool mousemove 0 0"), 0);
    const bool keyed = waitUntil(
        [&] {
            if (std::system("xdotool key Left") != 0)
                return false;
            return waitUntil([&] { return trace().find("\tkey\t37\n") != std::string::npos; },
                             500ms);
        },
        20s);
    ASSERT_TRUE(keyed) << "Left never reached Form_KeyDown; trace:\n" << trace();
    EXPECT_EQ(output("xdotool getwindowfocus"), window + "\n");

    requestClose(window);
    EXPECT_EQ(exitStatus(10s), 0) << "trace:\n" << trace();
    const std::string lines = trace();
    const auto close = lines.find("\tclose\n");
    const auto unload = lines.find("\tunload\n");
    const auto exit = lines.find("\texit\n");
    ASSERT_NE(close, std::string::npos) << lines;
    EXPECT_LT(close, unload);
    EXPECT_LT(unload, exit);
    EXPECT_NE(exit, std::string::npos) << lines;
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
            continue;
        }
        velozor::soundpack::AudioBuffer tone;
        for (std::size_t frame = 0; frame < velozor::soundpack::framesFor(0.15); ++frame) {
            tone.samples.push_back(0.3f * static_cast<float>(std::sin(frame * 0.06)));
        }
        velozor::soundpack::writeWav(file, tone);
    }
}

// How many times `line` (a whole trace line after its time) stands in the trace.
std::size_t count(const std::string& trace, const std::string& line) {
    std::size_t found = 0;
    for (auto at = trace.find(line); at != std::string::npos; at = trace.find(line, at + 1))
        ++found;
    return found;
}

// Whether `effect` follows the `nth` (from 1) occurrence of `cause` in the trace.
bool follows(const std::string& trace, const std::string& cause, std::size_t nth,
             const std::string& effect) {
    std::size_t at = std::string::npos;
    for (std::size_t seen = 0; seen < nth; ++seen) {
        at = trace.find(cause, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos)
            return false;
    }
    return trace.find(effect, at) != std::string::npos;
}

TEST_F(VelozorProgram, PlaysByEarFromStartUpThroughTheMenuToLeaving) {
    writeShortSoundFolder(folder / "sonidos");
    const std::string recording = (folder / "audio.raw").string();
    start({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording});
    const std::string window = findWindow();
    ASSERT_FALSE(window.empty()) << "no window named Velozor appeared; trace:\n" << trace();
    ASSERT_EQ(std::system("xdotool mousemove 0 0"), 0);

    // Right until the first one lands (keys before the window has the focus are lost); more
    // Rights only meet the right edge.
    ASSERT_TRUE(waitUntil(
        [&] {
            return std::system("xdotool key Right") == 0 &&
                   waitUntil([&] { return count(trace(), "\tkey\t39\n") > 0; }, 500ms);
        },
        20s))
        << trace();
    ASSERT_TRUE(waitUntil([&] { return count(trace(), "\ttick\n") > 0; }, 20s)) << trace();

    // Each key is sent once its predecessor has been answered, as a player listens first.
    struct Step {
        const char* key;
        const char* line;    // its trace line
        std::size_t nth;     // how many of those lines there are once it has come
        const char* effect;  // the trace line that shows it was answered
    };
    const Step visit[] = {
        {"F1", "\tkey\t112\n", 1, "\ttimer\ton\n"},      // help heard, play resumes
        {"Escape", "\tkey\t27\n", 1, "\ttimer\toff\n"},  // end cue, then the menu
        {"Up", "\tkey\t38\n", 1, "\tkey\t38\n"},         // "another game" announced
        {"Return", "\tkey\t13\n", 1, "\ttimer\ton\n"},   // start cue, a new game
        {"Escape", "\tkey\t27\n", 2, "\ttimer\toff\n"},  // back to the menu
        {"Escape", "\tkey\t27\n", 3, "\texit\n"},        // end cue, and the program leaves
    };
    for (const Step& step : visit) {
        ASSERT_EQ(std::system((std::string("xdotool key ") + step.key).c_str()), 0);
        ASSERT_TRUE(
            waitUntil([&] { return follows(trace(), step.line, step.nth, step.effect); }, 10s))
            << step.key << " was not answered; trace:\n"
            << trace();
    }
    EXPECT_EQ(exitStatus(10s), 0) << trace();

    // The mix really carried sound: the tones and the music, not a silent stream.
    const std::string audio = readFile(recording);
    std::size_t loud = 0;
    for (std::size_t at = 0; at + 1 < audio.size(); at += 2) {
        const auto sample = static_cast<int16_t>(static_cast<unsigned char>(audio[at]) |
                                                 static_cast<unsigned char>(audio[at + 1]) << 8);
        loud += std::abs(sample) > 1000;
    }
    EXPECT_GT(loud, 44100u) << "bytes recorded: " << audio.size();
}

TEST(VelozorProgramStart, FailsWithOneLineAndStatusOneWithoutADisplay) {
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 ") + VELOZOR_PROGRAM +
        " 2>&1; echo \"status $?\"";
    const std::string result = output(command);
    EXPECT_EQ(result.rfind("velozor: cannot start SDL's video: ", 0), 0) << result;
    EXPECT_NE(result.find("\nstatus 1\n"), std::string::npos) << result;
}

}  // namespace
