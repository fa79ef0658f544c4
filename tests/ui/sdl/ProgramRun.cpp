// Starting the program with fork and exec, finding its window with xdotool, talking to it
// through Xlib.
#include "tests/ui/sdl/ProgramRun.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace velozor::testing {

using namespace std::chrono_literals;

std::size_t loudSamples(const std::string& recordingPath, int threshold) {
    const std::string audio = readFile(recordingPath);
    std::size_t count = 0;
    for (std::size_t at = 0; at + 1 < audio.size(); at += 2) {
        int16_t sample;
        std::memcpy(&sample, audio.data() + at, 2);
        count += std::abs(static_cast<int>(sample)) > threshold;
    }
    return count;
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

bool ProgramRun::start(const std::string& program, std::vector<std::string> environment,
                       const std::string& tracePath, std::string& error) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        error = "cannot open the X display (run the tests under xvfb-run)";
        return false;
    }
    tracePath_ = tracePath;
    std::ofstream{tracePath_};
    environment.insert(environment.begin(), "LC_ALL=C.UTF-8");  // Spanish, unless the test says
    environment.push_back("VELOZOR_TRACE=1");
    pid_ = fork();
    if (pid_ < 0) {
        error = std::string("cannot fork: ") + std::strerror(errno);
        return false;
    }
    if (pid_ == 0) {
        for (std::string& setting : environment)
            putenv(setting.data());
        if (freopen(tracePath_.c_str(), "w", stderr) && freopen("/dev/null", "w", stdout))
            execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    waitUntil(
        [&] {
            std::istringstream found(commandOutput("xdotool search --all --onlyvisible --pid " +
                                                   std::to_string(pid_) +
                                                   " --name '^Velozor$' 2>/dev/null"));
            found >> window_;
            return !window_.empty();
        },
        20s);
    if (window_.empty()) {
        error = "no window named Velozor appeared for " + program + "; trace:\n" + trace();
        return false;
    }
    return true;
}

void ProgramRun::signal(int number) {
    if (pid_ > 0)
        kill(pid_, number);
}

bool ProgramRun::pressUntilTraced(const std::string& key, const std::string& line,
                                  std::chrono::milliseconds limit) {
    // The pointer off the window, so that the focus follows the window manager's rules only.
    if (std::system("xdotool mousemove 0 0") != 0)
        return false;
    return waitUntil(
        [&] {
            return std::system(("xdotool key " + key).c_str()) == 0 &&
                   waitUntil([&] { return traced(line); }, 500ms);
        },
        limit);
}

void ProgramRun::requestClose() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window_);
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, event.xclient.window, False, NoEventMask, &event);
    XFlush(display_);
}

std::set<unsigned long> ProgramRun::iconSizes() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // _NET_WM_ICON: width, height, pixels, then the next image.
    XGetWindowProperty(display_, std::stoul(window_), XInternAtom(display_, "_NET_WM_ICON", False),
                       0, 1 << 20, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    std::set<unsigned long> sizes;
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long at = 0; at + 2 <= count; at += 2 + values[at] * values[at + 1]) {
        if (values[at] == values[at + 1])
            sizes.insert(values[at]);
    }
    if (data != nullptr)
        XFree(data);
    return sizes;
}

int ProgramRun::exitStatus(std::chrono::milliseconds limit) {
    int status = 0;
    if (!waitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit))
        return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace velozor::testing
