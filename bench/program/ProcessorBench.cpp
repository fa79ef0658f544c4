// velozor-bench-processor: the processor time the real program takes over 60 s of play (lane
// keys at random moments) and then over 60 s idle in the menu, playing through a PulseAudio
// server of the benchmark's own (null sink). Prints both figures and exits 1 when one misses
// its bound.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "Display.h"
#include "ProgramUnderTest.h"
#include "PulseServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kIntroduction = 6s;  // the shortened introduction; play starts after it
constexpr auto kMenuSettles = 8s;   // the end cue and the menu's spoken introduction
constexpr auto kMeasured = 60s;
constexpr double kDrivingBoundPercent = 1.0;
constexpr double kIdleBoundPercent = 0.3;

double percentOfOneCore(double seconds) {
    return seconds / std::chrono::duration<double>(kMeasured).count() * 100;
}

}  // namespace

int main() {
    if (!velozor::bench::haveDisplay("velozor-bench-processor"))
        return 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    const fs::path root =
        fs::temp_directory_path() / ("velozor-bench-processor-" + std::to_string(::getpid()));
    const fs::path program =
        velozor::bench::copyWithShortIntroduction(VELOZOR_PROGRAM, VELOZOR_SOUND_FOLDER, root);

    velozor::testing::PulseServer server(root / "pulse");
    std::string error;
    if (!server.start(error)) {
        std::fprintf(stderr, "velozor-bench-processor: %s\n", error.c_str());
        return 1;
    }
    ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    velozor::bench::Keyboard keyboard;
    const pid_t pid = velozor::bench::startProgram(program, root / "stderr.txt");
    if (!keyboard.ready() || pid < 0)
        return 1;
    std::this_thread::sleep_for(kIntroduction);

    // Play: a lane key every 0.3 to 1.5 s (fixed seed), as a player dodges.
    std::mt19937 random(13);
    std::uniform_int_distribution<int> pause(300, 1500);
    const double drivingStart = velozor::bench::processorSeconds(pid);
    for (const Clock::time_point end = Clock::now() + kMeasured; Clock::now() < end;) {
        keyboard.press(random() % 2 == 0 ? "Left" : "Right");
        std::this_thread::sleep_until(
            std::min(end, Clock::now() + std::chrono::milliseconds(pause(random))));
    }
    const double drivingEnd = velozor::bench::processorSeconds(pid);

    keyboard.press("Escape");  // the end cue, then the menu
    std::this_thread::sleep_for(kMenuSettles);
    const double idleStart = velozor::bench::processorSeconds(pid);
    std::this_thread::sleep_for(kMeasured);
    const double idleEnd = velozor::bench::processorSeconds(pid);

    velozor::bench::stopProgram(pid);
    server.kill();
    fs::remove_all(root);
    if (drivingStart < 0 || idleEnd < 0) {
        std::printf("the program ended before the measurement did\n");
        return 1;
    }
    const double driving = percentOfOneCore(drivingEnd - drivingStart);
    const double idle = percentOfOneCore(idleEnd - idleStart);
    std::printf("through PulseAudio (null sink), utime + stime over 60 s each:\n");
    std::printf("  driving, a lane key every 0.3-1.5 s: %.2f%% of one core (bound %.1f%%)\n",
                driving, kDrivingBoundPercent);
    std::printf("  idle in the menu:                    %.2f%% of one core (bound %.1f%%)\n", idle,
                kIdleBoundPercent);
    return driving <= kDrivingBoundPercent && idle <= kIdleBoundPercent ? 0 : 1;
}
