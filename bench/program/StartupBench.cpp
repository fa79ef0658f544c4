// velozor-bench-startup: times the real program from exec to the introduction's first mixed
// sample, over several starts, on SDL's disk audio driver writing into a pipe that this program
// reads; prints the figures and exits 1 when the median misses its bound.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/Percentile.h"
#include "bench/program/Display.h"
#include "tests/support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using velozor::bench::percentile;

constexpr int kStarts = 15;
constexpr double kBoundMs = 100.0;
constexpr auto kGiveUp = 10s;

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

    velozor::testing::ProgramRun run;  // killed when this returns
    std::string error;
    const Clock::time_point exec = Clock::now();
    if (!run.launch({{program.string()},
                     {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + pipe.string()},
                     {},
                     log,
                     {}},
                    error)) {
        std::fprintf(stderr, "velozor-bench-startup: %s\n", error.c_str());
        std::exit(1);
    }

    double millis = -1;  // exec to the first sample that is not silence; -1: none came
    int ended = -1;      // the program's exit status, if it ended before it was heard
    char buffer[65536];
    while (Clock::now() - exec < kGiveUp && millis < 0 && (ended = run.exitStatus(0ms)) < 0) {
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
    ::close(mix);
    if (ended == 127) {
        std::fprintf(stderr, "velozor-bench-startup: cannot run %s (build it first)\n",
                     program.c_str());
        std::exit(1);
    }
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
    // The programs started inherit this environment: nothing in it may choose the device or its
    // buffers beside the disk driver and its file, which each start sets.
    ::unsetenv("SDL_DISKAUDIODELAY");
    ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
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
