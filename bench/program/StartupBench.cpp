// velozor-bench-startup: times the real program from exec to the introduction's first mixed
// sample, over several starts, on SDL's disk audio driver writing into a pipe that this program
// reads; prints the figures and exits 1 when the median misses its bound.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Display.h"
#include "bench/Percentile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using velozor::bench::percentile;

constexpr int kStarts = 15;
constexpr double kBoundMs = 100.0;
constexpr auto kGiveUp = std::chrono::seconds(10);

struct Start {
    double millis = -1;     // exec to the first sample that is not silence; -1: none came
    bool fellBack = false;  // the program said its device does not keep up with 256 frames
};

// Starts the program with the disk driver writing into `pipe` and waits for the first sample
// other than silence. The introduction's first file starts sounding at its first frame, and
// the disk driver writes each buffer as soon as it is mixed, so the time that buffer arrives
// is the time it was mixed.
double startOnce(const fs::path& program, const fs::path& folder) {
    const fs::path pipe = folder / "mix.pipe";
    const fs::path log = folder / "stderr.txt";  // kept for a look after a failed run
    fs::remove(pipe);
    if (::mkfifo(pipe.c_str(), 0600) != 0) {
        std::perror("velozor-bench-startup: mkfifo");
        std::exit(1);
    }
    // Opened for reading before the program starts, so its open for writing never waits.
    const int mix = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);

    // This process's environment without whatever would choose the device or its buffers.
    const auto chosenHere = [](const std::string& variable) {
        for (const char* name : {"SDL_AUDIODRIVER=", "SDL_DISKAUDIOFILE=", "SDL_DISKAUDIODELAY=",
                                 "VELOZOR_AUDIO_BUFFER_FRAMES="}) {
            if (variable.rfind(name, 0) == 0)
                return true;
        }
        return false;
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!chosenHere(*entry))
            environment.emplace_back(*entry);
    }
    environment.push_back("SDL_AUDIODRIVER=disk");
    environment.push_back("SDL_DISKAUDIOFILE=" + pipe.string());
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string name = program.string();
    char* argv[] = {name.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const Clock::time_point exec = Clock::now();
    if (posix_spawn(&pid, name.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        std::fprintf(stderr, "velozor-bench-startup: cannot start %s\n", name.c_str());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);

    double millis = -1;  // exec to the first sample that is not silence; -1: none came
    char buffer[65536];
    while (Clock::now() - exec < kGiveUp && millis < 0) {
        pollfd readable{mix, POLLIN, 0};
        if (::poll(&readable, 1, 5) <= 0)
            continue;
        const ssize_t bytes = ::read(mix, buffer, sizeof buffer);
        if (bytes <= 0)
            continue;  // no writer yet
        if (std::any_of(buffer, buffer + bytes, [](char byte) { return byte != 0; })) {
            millis = std::chrono::duration<double, std::milli>(Clock::now() - exec).count();
        }
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(mix);
    return millis;
}

}  // namespace

int main() {
    if (!velozor::bench::haveDisplay("velozor-bench-startup"))
        return 1;
    // VELOZOR_BENCH_PROGRAM times another build of the program (an older one, to compare).
    const char* other = std::getenv("VELOZOR_BENCH_PROGRAM");
    const fs::path program = other != nullptr && *other != '\0' ? other : VELOZOR_PROGRAM;
    const fs::path folder =
        fs::temp_directory_path() / ("velozor-bench-startup-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<double> millis;
    int missing = 0;
    for (int run = 0; run < kStarts; ++run) {
        const double start = startOnce(program, folder);
        if (start < 0)
            ++missing;
        else
            millis.push_back(start);
    }
    fs::remove_all(folder);
    if (millis.empty()) {
        std::printf("no start reached its introduction within 10 s\n");
        return 1;
    }
    const double median = percentile(millis, 0.5);
    std::printf(
        "exec -> first mixed sample of the introduction, %d starts (disk driver, 256-frame "
        "buffers):\n",
        kStarts);
    std::printf("  median %.1f ms, min %.1f ms, max %.1f ms (bound: median <= %.0f ms)\n", median,
                *std::min_element(millis.begin(), millis.end()),
                *std::max_element(millis.begin(), millis.end()), kBoundMs);
    std::printf("  starts without sound: %d\n", missing);
    return median <= kBoundMs && missing == 0 ? 0 : 1;
}
