// Starting a program with fork and exec, finding its windows with xdotool, talking to them
// through Xlib.
#include "tests/support/ProgramRun.h"

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

std::vector<std::string> windowsNamed(const std::string& pattern, pid_t pid) {
    const std::string ofProcess = pid > 0 ? " --pid " + std::to_string(pid) : "";
    std::istringstream found(commandOutput("xdotool search --all --onlyvisible" + ofProcess +
                                           " --name '" + pattern + "' 2>/dev/null"));
    std::vector<std::string> windows;
    for (std::string window; found >> window;)
        windows.push_back(window);
    return windows;
}

bool pressKey(const std::string& key, const std::string& window) {
    const std::string target = window.empty() ? "" : " --window " + window;
    return std::system(("xdotool key" + target + " " + key + " 2>/dev/null").c_str()) == 0;
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

bool ProgramRun::launch(const ProgramLaunch& launch, std::string& error) {
    std::ofstream{launch.errorFile};
    traceFile_ = launch.traceFile.empty() ? launch.errorFile : launch.traceFile;
    std::vector<std::string> environment = launch.environment;
    std::vector<char*> argv;
    for (const std::string& argument : launch.command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) {
        error = std::string("cannot fork: ") + std::strerror(errno);
        return false;
    }
    if (pid_ == 0) {
        for (std::string& setting : environment)
            putenv(setting.data());
        if ((launch.folder.empty() || chdir(launch.folder.c_str()) == 0) &&
            freopen(launch.errorFile.c_str(), "w", stderr) && freopen("/dev/null", "w", stdout))
            execvp(argv[0], argv.data());
        _exit(127);
    }
    return true;
}

bool ProgramRun::start(const std::string& program, std::vector<std::string> environment,
                       const std::string& tracePath, std::string& error) {
    if (display() == nullptr) {
        error = "cannot open the X display (run the tests under xvfb-run)";
        return false;
    }
    environment.insert(environment.begin(), "LC_ALL=C.UTF-8");  // Spanish, unless the test says
    environment.push_back("VELOZOR_TRACE=1");
    if (!launch({{program}, environment, {}, tracePath, {}}, error))
        return false;
    window_ = waitForWindow("Velozor", 20s);
    if (window_.empty()) {
        error = "no window named Velozor appeared for " + program + "; trace:\n" + trace();
        return false;
    }
    return true;
}

bool ProgramRun::waitForTraced(const std::string& line, std::chrono::milliseconds limit,
                               std::size_t from) const {
    return waitUntil([&] { return traced(line, from); }, limit);
}

std::string ProgramRun::waitForWindow(const std::string& caption, std::chrono::milliseconds limit,
                                      WindowOf owner) const {
    std::vector<std::string> found;
    waitUntil(
        [&] {
            found = windowsNamed("^" + caption + "$", owner == WindowOf::ThisProcess ? pid_ : -1);
            return !found.empty();
        },
        limit);
    return found.empty() ? "" : found.front();
}

bool ProgramRun::pressUntilTraced(const std::string& key, const std::string& line,
                                  std::chrono::milliseconds limit) {
    // The pointer off the window, so that the focus follows the window manager's rules only.
    if (std::system("xdotool mousemove 0 0") != 0)
        return false;
    return waitUntil([&] { return pressKey(key) && waitForTraced(line, 500ms); }, limit);
}

_XDisplay* ProgramRun::display() {
    if (display_ == nullptr)
        display_ = XOpenDisplay(nullptr);
    return display_;
}

void ProgramRun::requestClose() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window_);
    event.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display(), event.xclient.window, False, NoEventMask, &event);
    XFlush(display());
}

int ProgramRun::exitStatus(std::chrono::milliseconds limit) {
    int status = 0;
    if (pid_ <= 0 || !waitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit))
        return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace velozor::testing
