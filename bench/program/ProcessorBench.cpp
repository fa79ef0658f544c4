// velozor-bench-processor: the processor time the real program takes over 60 s of play (lane
// keys at random moments) and then over 60 s idle in the menu, playing through a PulseAudio
// server of the benchmark's own (null sink), or with the argument "pipewire" a PipeWire one;
// and, for scale, what SDL's audio alone takes on the same server with a callback that only
// writes silence, and (through PulseAudio) what a bare PulseAudio client writing whole buffers
// of silence takes. Prints the figures and exits 1 when the program misses a bound.
#include <SDL.h>
#include <pulse/simple.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ProgramUnderTest.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kIntroduction = 6s;  // the shortened introduction; play starts after it
constexpr auto kStartUp = 1s;       // more than the start-up takes
constexpr auto kMenuSettles = 15s;  // the end cues and the menu's spoken introduction
constexpr auto kMeasured = 60s;
constexpr double kDrivingBoundPercent = 1.0;
constexpr double kIdleBoundPercent = 0.3;

double percentOfOneCore(double seconds, std::chrono::seconds over = kMeasured) {
    return seconds / std::chrono::duration<double>(over).count() * 100;
}

double ownProcessorSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Whether the program's trace shows it in the menu after a game over: that stops the timer twice
// in a row (at the last crash, then as the menu opens), where a crash's or a level's cue stops
// it once and starts it again after the cue, and a new game starts it.
bool inMenuAfterGameOver(const fs::path& log) {
    std::ifstream file(log);
    std::string last, beforeLast;
    for (std::string line; std::getline(file, line);) {
        if (line.find("\ttimer\t") != std::string::npos) {
            beforeLast = last;
            last = line.substr(line.rfind('\t') + 1);
        }
    }
    return last == "off" && beforeLast == "off";
}

// This process's processor time, as a share of one core, over 20 s with an SDL audio device
// of `frames` per buffer open on the current driver and a callback that writes silence: what
// the driver's own round trips cost, below which no mixing can go. Negative when it cannot open.
double sdlAudioAlone(int frames) {
    constexpr auto kOver = 20s;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return -1;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(frames);
    wanted.callback = [](void*, Uint8* stream, int bytes) { SDL_memset(stream, 0, bytes); };
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    double percent = -1;
    if (device != 0) {
        SDL_PauseAudioDevice(device, 0);
        std::this_thread::sleep_for(2s);
        const double before = ownProcessorSeconds();
        std::this_thread::sleep_for(kOver);
        percent = percentOfOneCore(ownProcessorSeconds() - before, kOver);
        SDL_CloseAudioDevice(device);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return percent;
}

// This process's processor time, as a share of one core, over 20 s of a bare PulseAudio client
// that writes silence in whole buffers of `frames`, with the server asked to queue two of them
// and to ask for one at a time: the fewest round trips a stream fed at that size can make, so
// the floor of any output path of the program's own that does not mix far ahead. Negative
// when it cannot connect.
double pulseClientAlone(int frames) {
    constexpr auto kOver = 20s;
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, 2};
    const auto bytes = static_cast<uint32_t>(frames * 4);
    pa_buffer_attr queue{};
    queue.maxlength = static_cast<uint32_t>(-1);
    queue.tlength = 2 * bytes;
    queue.prebuf = static_cast<uint32_t>(-1);
    queue.minreq = bytes;
    queue.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "velozor-bench", PA_STREAM_PLAYBACK, nullptr,
                                      "silence", &format, nullptr, &queue, &error);
    if (stream == nullptr)
        return -1;
    const std::vector<char> silence(bytes, 0);
    const auto writeFor = [&](std::chrono::seconds over) {
        const Clock::time_point end = Clock::now() + over;
        while (Clock::now() < end)
            pa_simple_write(stream, silence.data(), silence.size(), &error);
    };
    writeFor(2s);
    const double before = ownProcessorSeconds();
    writeFor(kOver);
    const double percent = percentOfOneCore(ownProcessorSeconds() - before, kOver);
    pa_simple_free(stream);
    return percent;
}

// Ten openings of a 256-frame device on the current driver: what closing the device while
// nothing sounds would add to the next sound.
struct Openings {
    std::vector<double> millis;  // asking SDL to open it to its first callback, sorted
    size_t lateOrFailed = 0;     // openings that failed, or gave no callback within 2 s
};

Openings openingToFirstCallback() {
    Openings openings;
    std::vector<double>& millis = openings.millis;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return openings;
    static std::atomic<int64_t> firstCallback{0};
    for (int opening = 0; opening < 10; ++opening) {
        SDL_AudioSpec wanted{};
        wanted.freq = 44100;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = 256;
        wanted.callback = [](void*, Uint8* stream, int bytes) {
            int64_t none = 0;
            firstCallback.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
            SDL_memset(stream, 0, bytes);
        };
        firstCallback = 0;
        const Clock::time_point asked = Clock::now();
        SDL_AudioSpec obtained{};
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device == 0) {
            ++openings.lateOrFailed;
            continue;
        }
        SDL_PauseAudioDevice(device, 0);
        while (firstCallback.load() == 0 && Clock::now() - asked < 2s)
            std::this_thread::yield();
        const Clock::time_point first{Clock::duration(firstCallback.load())};
        if (firstCallback.load() != 0)
            millis.push_back(std::chrono::duration<double, std::milli>(first - asked).count());
        else
            ++openings.lateOrFailed;
        std::this_thread::sleep_for(300ms);
        SDL_CloseAudioDevice(device);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::sort(millis.begin(), millis.end());
    return openings;
}

}  // namespace

int main(int argc, char** argv) {
    // "pipewire": the same on a PipeWire server, where the program picks SDL's PipeWire driver.
    const bool pipeWire = argc > 1 && std::string(argv[1]) == "pipewire";
    std::optional<velozor::bench::ServerRun> run = velozor::bench::prepareServerRun(
        "velozor-bench-processor",
        pipeWire ? velozor::bench::SoundServer::PipeWire : velozor::bench::SoundServer::PulseAudio);
    if (!run)
        return 1;
    const fs::path& root = run->root;
    ::setenv("VELOZOR_TRACE", "1", 1);  // a line per tick tells play from the menu
    velozor::bench::Keyboard keyboard;
    const fs::path log = root / "stderr.txt";
    const pid_t pid = velozor::bench::startProgram(run->program, log);
    if (!keyboard.ready() || pid < 0) {
        if (pid >= 0)
            velozor::bench::stopProgram(pid);
        return 1;  // the server stops with `run`
    }
    // The introduction is four synchronous sounds, during which the game's thread waits for
    // each to end; measured from a second in, past the start-up.
    std::this_thread::sleep_for(kStartUp);
    const std::map<std::string, double> introductionThreadsBefore =
        velozor::bench::threadProcessorSeconds(pid);
    std::this_thread::sleep_for(kIntroduction - kStartUp);
    const std::map<std::string, double> introductionThreadsAfter =
        velozor::bench::threadProcessorSeconds(pid);

    // Play: a lane key every 0.3 to 1.5 s (fixed seed). The lanes are chosen blindly, so a
    // game may end; the menu is left for a new game at once (its first time, Up selects
    // "another game"; it stays selected).
    const auto ticks = [&] { return velozor::bench::linesHolding(log, "\ttick"); };
    std::mt19937 random(13);
    std::uniform_int_distribution<int> pause(300, 1500);
    bool entrySelected = false;
    int newGames = 0;
    const double drivingStart = velozor::bench::processorSeconds(pid);
    const std::map<std::string, double> drivingThreadsBefore =
        velozor::bench::threadProcessorSeconds(pid);
    for (const Clock::time_point end = Clock::now() + kMeasured; Clock::now() < end;) {
        keyboard.press(random() % 2 == 0 ? "Left" : "Right");
        std::this_thread::sleep_until(
            std::min(end, Clock::now() + std::chrono::milliseconds(pause(random))));
        if (inMenuAfterGameOver(log)) {
            if (!entrySelected) {
                keyboard.press("Up");
                entrySelected = true;
                std::this_thread::sleep_for(300ms);
            }
            keyboard.press("Return");
            ++newGames;
            // The new game's cue plays before the timer starts: no second Return meanwhile.
            for (const auto giveUp = Clock::now() + 10s;
                 inMenuAfterGameOver(log) && Clock::now() < giveUp;)
                std::this_thread::sleep_for(100ms);
        }
    }
    const double drivingEnd = velozor::bench::processorSeconds(pid);
    const std::map<std::string, double> drivingThreadsAfter =
        velozor::bench::threadProcessorSeconds(pid);

    // Into the menu, unless a game over has just taken the program there, where Escape would
    // end it: wait for the next tick (in play; after a cue, if one plays, up to the longest
    // level's) or for the menu.
    const int ticksAtEnd = ticks();
    for (const Clock::time_point end = Clock::now() + 20s;
         Clock::now() < end && !inMenuAfterGameOver(log);) {
        if (ticks() != ticksAtEnd) {
            keyboard.press("Escape");  // the end cue, then the menu
            break;
        }
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(kMenuSettles);
    const double idleStart = velozor::bench::processorSeconds(pid);
    const std::map<std::string, double> idleThreadsBefore =
        velozor::bench::threadProcessorSeconds(pid);
    const int ticksBeforeIdle = ticks();
    std::this_thread::sleep_for(kMeasured);
    const double idleEnd = velozor::bench::processorSeconds(pid);
    const std::map<std::string, double> idleThreadsAfter =
        velozor::bench::threadProcessorSeconds(pid);
    const bool idleWasMenu = ticks() == ticksBeforeIdle;

    velozor::bench::stopProgram(pid);
    if (drivingStart < 0 || drivingEnd < 0 || idleStart < 0 || idleEnd < 0 || !idleWasMenu) {
        std::printf(
            "the program ended, or was not in its menu, before the measurement did; "
            "its standard error is in %s\n",
            log.c_str());
        return 1;
    }
    if (pipeWire)
        ::setenv("SDL_AUDIODRIVER", "pipewire", 1);  // what the program chose there
    const double alone256 = sdlAudioAlone(256);
    const double alone4096 = sdlAudioAlone(4096);
    // The program asks a PulseAudio server for 3 ms of queue at 128 frames. The server asks for
    // sound in pieces of a quarter of the queue, and SDL 2.26 writes each piece as it is asked
    // for, so a longer queue means fewer round trips: SDL alone at longer queues shows how far
    // that goes, at a latency no key could afford (the queue adds to every sound).
    // Both only through PulseAudio: PipeWire has no such queue to ask for.
    std::vector<std::pair<int, double>> alone128ByQueue;
    std::vector<std::pair<int, double>> pulseAloneBySize;
    if (!pipeWire) {
        for (const int millis : {3, 6, 12}) {
            ::setenv("PULSE_LATENCY_MSEC", std::to_string(millis).c_str(), 1);
            alone128ByQueue.emplace_back(millis, sdlAudioAlone(128));
        }
        ::unsetenv("PULSE_LATENCY_MSEC");
        for (const int frames : {128, 1024, 4096})
            pulseAloneBySize.emplace_back(frames, pulseClientAlone(frames));
    }
    const Openings openings = openingToFirstCallback();
    run->stopServer();
    fs::remove_all(root);
    const double driving = percentOfOneCore(drivingEnd - drivingStart);
    const double idle = percentOfOneCore(idleEnd - idleStart);
    std::printf("through %s (null sink), utime + stime over 60 s each:\n",
                pipeWire ? "PipeWire, SDL's PipeWire driver" : "PulseAudio");
    std::printf(
        "  driving, a lane key every 0.3-1.5 s: %.2f%% of one core (bound %.1f%%), "
        "%d new games\n",
        driving, kDrivingBoundPercent, newGames);
    std::printf("  idle in the menu:                    %.2f%% of one core (bound %.1f%%)\n", idle,
                kIdleBoundPercent);
    const auto printThreads = [](const char* phase, const std::map<std::string, double>& before,
                                 const std::map<std::string, double>& after,
                                 std::chrono::seconds over = kMeasured) {
        for (const auto& [thread, seconds] : after) {
            const auto start = before.find(thread);
            std::printf(
                "    %s, thread %-28s %.2f%%\n", phase, thread.c_str(),
                percentOfOneCore(seconds - (start == before.end() ? 0 : start->second), over));
        }
    };
    printThreads("driving", drivingThreadsBefore, drivingThreadsAfter);
    printThreads("idle", idleThreadsBefore, idleThreadsAfter);
    std::printf("  the introduction (synchronous sounds), over %lld s:\n",
                static_cast<long long>((kIntroduction - kStartUp).count()));
    printThreads("introduction", introductionThreadsBefore, introductionThreadsAfter,
                 kIntroduction - kStartUp);
    std::printf(
        "  SDL's audio alone, a callback writing silence: %.2f%% at 256 frames, %.2f%% at "
        "4096 (over 20 s each)\n",
        alone256, alone4096);
    for (const auto& [millis, percent] : alone128ByQueue) {
        std::printf("  the same at 128 frames with PULSE_LATENCY_MSEC=%d%s: %.2f%%\n", millis,
                    millis == 3 ? " (as the program asks)" : "", percent);
    }
    for (const auto& [frames, percent] : pulseAloneBySize) {
        std::printf(
            "  a bare PulseAudio client writing whole %d-frame buffers of silence (%.1f ms), "
            "two queued: %.2f%%\n",
            frames, frames * 1000.0 / 44100, percent);
    }
    if (!openings.millis.empty() || openings.lateOrFailed > 0) {
        std::printf("  SDL's audio opened to its first callback, 256 frames, %zu of %zu openings",
                    openings.millis.size(), openings.millis.size() + openings.lateOrFailed);
        if (!openings.millis.empty()) {
            std::printf(": median %.2f ms, max %.2f ms",
                        openings.millis[openings.millis.size() / 2], openings.millis.back());
        }
        if (openings.lateOrFailed > 0)
            std::printf("; %zu failed or gave no callback within 2 s", openings.lateOrFailed);
        std::printf("\n");
    }
    return driving <= kDrivingBoundPercent && idle <= kIdleBoundPercent ? 0 : 1;
}
