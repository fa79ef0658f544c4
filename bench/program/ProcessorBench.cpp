// velozor-bench-processor: the processor time the real program takes over 60 s of play (lane
// keys at random moments) and then over 60 s idle in the menu, playing through a PulseAudio
// server of the benchmark's own (null sink), or with the argument "pipewire" a PipeWire one;
// and, for scale, what SDL's audio alone takes on the same server with a callback that only
// writes silence, and (through PulseAudio) what a bare PulseAudio client writing whole buffers
// of silence takes. Prints the figures and exits 1 when the program misses a bound.
#include <SDL.h>
#include <pulse/simple.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/Percentile.h"
#include "bench/program/Keyboard.h"
#include "bench/program/ServerRun.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using velozor::bench::percentile;

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

// utime + stime in seconds from a /proc stat file, with the thread or process name; negative
// seconds once it has ended.
std::pair<std::string, double> statProcessorSeconds(const fs::path& statFile) {
    const std::string text = velozor::testing::readFile(statFile);
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

// How many ticks the program's trace holds.
int ticksIn(const velozor::testing::ProgramRun& game) {
    const std::string trace = game.trace();
    int ticks = 0;
    for (std::size_t at = trace.find("\ttick"); at != std::string::npos;
         at = trace.find("\ttick", at + 1))
        ++ticks;
    return ticks;
}

// Whether the program's trace shows it in the menu after a game over: that stops the timer twice
// in a row (at the last crash, then as the menu opens), where a crash's or a level's cue stops
// it once and starts it again after the cue, and a new game starts it.
bool inMenuAfterGameOver(const velozor::testing::ProgramRun& game) {
    std::istringstream trace(game.trace());
    std::string last, beforeLast;
    for (std::string line; std::getline(trace, line);) {
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
    std::vector<double> millis;  // asking SDL to open it to its first callback
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
    return openings;
}

// The program's processor time at one moment: the whole process's (negative once it has
// ended) and each thread's, keyed "<thread id> <thread name>" (ended threads left out).
struct Snapshot {
    double process = 0;
    std::map<std::string, double> threads;
};

Snapshot snapshot(pid_t pid) {
    const fs::path process = "/proc/" + std::to_string(pid);
    Snapshot taken{statProcessorSeconds(process / "stat").second, {}};
    std::error_code error;
    for (const auto& task : fs::directory_iterator(process / "task", error)) {
        const auto [name, seconds] = statProcessorSeconds(task.path() / "stat");
        if (seconds >= 0)
            taken.threads[task.path().filename().string() + " " + name] = seconds;
    }
    return taken;
}

// The program's processor time between two snapshots `over` apart.
struct Stretch {
    Snapshot before;
    Snapshot after;
    std::chrono::seconds over = kMeasured;

    bool ran() const { return before.process >= 0 && after.process >= 0; }
    double percent() const { return percentOfOneCore(after.process - before.process, over); }
};

struct ProgramMeasures {
    Stretch introduction;
    Stretch driving;
    Stretch idle;
    int newGames = 0;
    bool idleWasMenu = false;
};

// Play: a lane key every 0.3 to 1.5 s (fixed seed) for kMeasured. The lanes are chosen
// blindly, so a game may end; the menu is left for a new game at once (its first time, Up
// selects "another game"; it stays selected). Returns how many new games were started.
int drive(velozor::bench::Keyboard& keyboard, const velozor::testing::ProgramRun& game) {
    std::mt19937 random(13);
    std::uniform_int_distribution<int> pause(300, 1500);
    bool entrySelected = false;
    int newGames = 0;
    for (const Clock::time_point end = Clock::now() + kMeasured; Clock::now() < end;) {
        keyboard.press(random() % 2 == 0 ? "Left" : "Right");
        std::this_thread::sleep_until(
            std::min(end, Clock::now() + std::chrono::milliseconds(pause(random))));
        if (inMenuAfterGameOver(game)) {
            if (!entrySelected) {
                keyboard.press("Up");
                entrySelected = true;
                std::this_thread::sleep_for(300ms);
            }
            keyboard.press("Return");
            ++newGames;
            // The new game's cue plays before the timer starts: no second Return meanwhile.
            for (const auto giveUp = Clock::now() + 10s;
                 inMenuAfterGameOver(game) && Clock::now() < giveUp;)
                std::this_thread::sleep_for(100ms);
        }
    }
    return newGames;
}

// Into the menu, unless a game over has just taken the program there, where Escape would end
// it: waits for the next tick (in play; after a cue, if one plays, up to the longest level's)
// or for the menu, then for the menu to settle.
void enterMenu(velozor::bench::Keyboard& keyboard, const velozor::testing::ProgramRun& game) {
    const int ticksAtEnd = ticksIn(game);
    for (const Clock::time_point end = Clock::now() + 20s;
         Clock::now() < end && !inMenuAfterGameOver(game);) {
        if (ticksIn(game) != ticksAtEnd) {
            keyboard.press("Escape");  // the end cue, then the menu
            break;
        }
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(kMenuSettles);
}

// The program's processor time through its introduction, a minute of play and a minute idle
// in the menu. Nothing when it cannot start or take keys.
std::optional<ProgramMeasures> measureProgram(const velozor::bench::ServerRun& run) {
    velozor::bench::Keyboard keyboard;
    velozor::testing::ProgramRun game;  // killed when this returns
    std::string error;
    if (!keyboard.ready())
        return std::nullopt;
    // Traced: a line per tick tells play from the menu. In Spanish, the copy's one folder.
    const std::vector<std::string> command = {run.program.string(), "--language", "es"};
    if (!game.launch({command, {"VELOZOR_TRACE=1"}, {}, run.root / "stderr.txt", {}}, error)) {
        std::fprintf(stderr, "velozor-bench-processor: %s\n", error.c_str());
        return std::nullopt;
    }
    const pid_t pid = game.pid();
    ProgramMeasures measures;
    // The introduction is four synchronous sounds, during which the game's thread waits for
    // each to end; measured from a second in, past the start-up.
    std::this_thread::sleep_for(kStartUp);
    measures.introduction.before = snapshot(pid);
    std::this_thread::sleep_for(kIntroduction - kStartUp);
    measures.introduction.after = snapshot(pid);
    measures.introduction.over =
        std::chrono::duration_cast<std::chrono::seconds>(kIntroduction - kStartUp);

    measures.driving.before = snapshot(pid);
    measures.newGames = drive(keyboard, game);
    measures.driving.after = snapshot(pid);

    enterMenu(keyboard, game);
    measures.idle.before = snapshot(pid);
    const int ticksBeforeIdle = ticksIn(game);
    std::this_thread::sleep_for(kMeasured);
    measures.idle.after = snapshot(pid);
    measures.idleWasMenu = ticksIn(game) == ticksBeforeIdle;
    return measures;
}

// SDL's audio alone on the driver the program uses, at 256 and 4096 frames, and (through
// PulseAudio) at 128 frames with longer server queues. The program asks a PulseAudio server
// for 3 ms of queue at 128 frames. The server asks for sound in pieces of a quarter of the
// queue, and SDL 2.26 writes each piece as it is asked for, so a longer queue means fewer
// round trips: SDL alone at longer queues shows how far that goes, at a latency no key could
// afford (the queue adds to every sound). PipeWire has no such queue to ask for.
struct SdlAlone {
    double at256 = 0;
    double at4096 = 0;
    std::vector<std::pair<int, double>> at128ByQueue;  // PULSE_LATENCY_MSEC, percent
};

SdlAlone measureSdlAlone(velozor::bench::SoundServer server) {
    const bool pipeWire = server == velozor::bench::SoundServer::PipeWire;
    if (pipeWire)
        ::setenv("SDL_AUDIODRIVER", "pipewire", 1);  // what the program chose there
    SdlAlone alone{sdlAudioAlone(256), sdlAudioAlone(4096), {}};
    if (!pipeWire) {
        for (const int millis : {3, 6, 12}) {
            ::setenv("PULSE_LATENCY_MSEC", std::to_string(millis).c_str(), 1);
            alone.at128ByQueue.emplace_back(millis, sdlAudioAlone(128));
        }
        ::unsetenv("PULSE_LATENCY_MSEC");
    }
    return alone;
}

// A bare PulseAudio client at 128, 1024 and 4096 frames: frames, percent.
std::vector<std::pair<int, double>> measurePulseClientAlone() {
    std::vector<std::pair<int, double>> bySize;
    for (const int frames : {128, 1024, 4096})
        bySize.emplace_back(frames, pulseClientAlone(frames));
    return bySize;
}

void printStretchThreads(const char* phase, const Stretch& stretch) {
    for (const auto& [thread, seconds] : stretch.after.threads) {
        const auto start = stretch.before.threads.find(thread);
        const double before = start == stretch.before.threads.end() ? 0 : start->second;
        std::printf("    %s, thread %-28s %.2f%%\n", phase, thread.c_str(),
                    percentOfOneCore(seconds - before, stretch.over));
    }
}

void printProgram(const ProgramMeasures& program, velozor::bench::SoundServer server) {
    std::printf("through %s (null sink), utime + stime over 60 s each:\n",
                server == velozor::bench::SoundServer::PipeWire ? "PipeWire, SDL's PipeWire driver"
                                                                : "PulseAudio");
    std::printf(
        "  driving, a lane key every 0.3-1.5 s: %.2f%% of one core (bound %.1f%%), "
        "%d new games\n",
        program.driving.percent(), kDrivingBoundPercent, program.newGames);
    std::printf("  idle in the menu:                    %.2f%% of one core (bound %.1f%%)\n",
                program.idle.percent(), kIdleBoundPercent);
    printStretchThreads("driving", program.driving);
    printStretchThreads("idle", program.idle);
    std::printf("  the introduction (synchronous sounds), over %lld s:\n",
                static_cast<long long>(program.introduction.over.count()));
    printStretchThreads("introduction", program.introduction);
}

void printSdlAlone(const SdlAlone& alone) {
    std::printf(
        "  SDL's audio alone, a callback writing silence: %.2f%% at 256 frames, %.2f%% at "
        "4096 (over 20 s each)\n",
        alone.at256, alone.at4096);
    for (const auto& [millis, percent] : alone.at128ByQueue) {
        std::printf("  the same at 128 frames with PULSE_LATENCY_MSEC=%d%s: %.2f%%\n", millis,
                    millis == 3 ? " (as the program asks)" : "", percent);
    }
}

void printPulseClientAlone(const std::vector<std::pair<int, double>>& bySize) {
    for (const auto& [frames, percent] : bySize) {
        std::printf(
            "  a bare PulseAudio client writing whole %d-frame buffers of silence (%.1f ms), "
            "two queued: %.2f%%\n",
            frames, frames * 1000.0 / 44100, percent);
    }
}

void printOpenings(const Openings& openings) {
    if (openings.millis.empty() && openings.lateOrFailed == 0)
        return;
    std::printf("  SDL's audio opened to its first callback, 256 frames, %zu of %zu openings",
                openings.millis.size(), openings.millis.size() + openings.lateOrFailed);
    if (!openings.millis.empty()) {
        std::printf(": median %.2f ms, max %.2f ms", percentile(openings.millis, 0.5),
                    percentile(openings.millis, 1.0));
    }
    if (openings.lateOrFailed > 0)
        std::printf("; %zu failed or gave no callback within 2 s", openings.lateOrFailed);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    // "pipewire": the same on a PipeWire server, where the program picks SDL's PipeWire driver.
    const velozor::bench::SoundServer server = argc > 1 && std::string(argv[1]) == "pipewire"
                                                   ? velozor::bench::SoundServer::PipeWire
                                                   : velozor::bench::SoundServer::PulseAudio;
    std::optional<velozor::bench::ServerRun> run =
        velozor::bench::prepareServerRun("velozor-bench-processor", server);
    if (!run)
        return 1;
    const std::optional<ProgramMeasures> program = measureProgram(*run);
    if (!program)
        return 1;  // the server stops with `run`
    if (!program->driving.ran() || !program->idle.ran() || !program->idleWasMenu) {
        std::printf(
            "the program ended, or was not in its menu, before the measurement did; "
            "its standard error is in %s\n",
            (run->root / "stderr.txt").c_str());
        return 1;
    }
    const SdlAlone sdlAlone = measureSdlAlone(server);
    const std::vector<std::pair<int, double>> pulseClientAlone =
        server == velozor::bench::SoundServer::PulseAudio ? measurePulseClientAlone()
                                                          : std::vector<std::pair<int, double>>{};
    const Openings openings = openingToFirstCallback();
    run->server->kill();
    fs::remove_all(run->root);

    printProgram(*program, server);
    printSdlAlone(sdlAlone);
    printPulseClientAlone(pulseClientAlone);
    printOpenings(openings);
    return program->driving.percent() <= kDrivingBoundPercent &&
                   program->idle.percent() <= kIdleBoundPercent
               ? 0
               : 1;
}
