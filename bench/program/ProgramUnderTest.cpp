// Starting the real program for a benchmark, its processor time, and keys through XTest.
#include "ProgramUnderTest.h"

#include "Display.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace velozor::bench {

namespace fs = std::filesystem;

fs::path copyWithShortIntroduction(const fs::path& program, const fs::path& soundFolder,
                                   const fs::path& root) {
    fs::create_directories(root);
    const fs::path copy = root / program.filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::copy(soundFolder, root / "sonidos", fs::copy_options::recursive);
    for (int part = 1; part <= 4; ++part) {
        fs::copy_file(root / "sonidos" / "fin.wav",
                      root / "sonidos" / "intro" / ("arch " + std::to_string(part) + ".wav"),
                      fs::copy_options::overwrite_existing);
    }
    return copy;
}

void ServerRun::stopServer() {
    if (pulseAudio)
        pulseAudio->kill();
    if (pipeWire)
        pipeWire->stop();
}

std::optional<ServerRun> prepareServerRun(const std::string& benchmark, SoundServer server) {
    if (!haveDisplay(benchmark.c_str()))
        return std::nullopt;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ServerRun run;
    run.root = fs::temp_directory_path() / (benchmark + "-" + std::to_string(::getpid()));
    run.program = copyWithShortIntroduction(VELOZOR_PROGRAM, VELOZOR_SOUND_FOLDER, run.root);
    std::string error;
    bool started = false;
    if (server == SoundServer::PulseAudio) {
        run.pulseAudio = std::make_unique<velozor::testing::PulseServer>(run.root / "pulse");
        started = run.pulseAudio->start(error);
        ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    } else {
        run.pipeWire = std::make_unique<PipeWireServer>(run.root / "pipewire");
        started = run.pipeWire->start(error);
        ::unsetenv("SDL_AUDIODRIVER");
    }
    if (!started) {
        std::fprintf(stderr, "%s: %s\n", benchmark.c_str(), error.c_str());
        return std::nullopt;
    }
    ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    return run;
}

pid_t startProgram(const fs::path& program, const fs::path& errorLog) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string name = program.string();
    char language[] = "--language", spanish[] = "es";  // the folder copied is sonidos
    char* argv[] = {name.data(), language, spanish, nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, name.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        std::fprintf(stderr, "cannot start %s (error %d); build it first\n", name.c_str(), failed);
        return -1;
    }
    return pid;
}

void stopProgram(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

namespace {

// utime + stime in seconds from a /proc stat file, with the thread or process name; negative
// seconds once it has ended.
std::pair<std::string, double> statProcessorSeconds(const fs::path& statFile) {
    std::ifstream stat(statFile);
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto open = text.find('(');
    const auto close = text.rfind(')');  // the name may hold spaces and parentheses
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {"", -1};
    std::string name = text.substr(open + 1, close - open - 1);
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    if (fields >> field && (field == "Z" || field == "X"))
        return {name, -1};  // ended, not yet reaped
    long long utime = 0, stime = 0;
    for (int index = 4; fields >> field; ++index) {  // field 3 is the state, read above
        if (index == 14)
            utime = std::stoll(field);
        if (index == 15) {
            stime = std::stoll(field);
            break;
        }
    }
    return {name, static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK))};
}

}  // namespace

double processorSeconds(pid_t pid) {
    return statProcessorSeconds("/proc/" + std::to_string(pid) + "/stat").second;
}

std::map<std::string, double> threadProcessorSeconds(pid_t pid) {
    std::map<std::string, double> threads;
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        const auto [name, seconds] = statProcessorSeconds(task.path() / "stat");
        if (seconds >= 0)
            threads[task.path().filename().string() + " " + name] = seconds;
    }
    return threads;
}

int linesHolding(const fs::path& path, const std::string& text) {
    std::ifstream file(path);
    int count = 0;
    for (std::string line; std::getline(file, line);)
        count += line.find(text) != std::string::npos ? 1 : 0;
    return count;
}

Keyboard::Keyboard() {
    display_ = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display_ == nullptr || !XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "cannot send keys: no X display with the XTest extension\n");
        if (display_ != nullptr)
            XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    XTestFakeMotionEvent(display_, -1, 10, 10, CurrentTime);
    XSync(display_, False);
}

Keyboard::~Keyboard() {
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

std::chrono::steady_clock::time_point Keyboard::press(const std::string& keyName) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keyName.c_str()));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XFlush(display_);
    const auto sent = std::chrono::steady_clock::now();
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
    return sent;
}

}  // namespace velozor::bench
