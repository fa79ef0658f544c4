// velozor-bench-latency: from a key sent through X to the first sample of its cue at a sound
// server's sink, on the real program. It starts a PulseAudio server of its own (one null sink),
// then a PipeWire one (daemon, session manager and PulseAudio layer, one null sink),
// reads the sink's monitor with arrival timestamps, and presses a menu key (which repeats the
// selected entry, "menúOtro.wav") 100 times per start, each once the sink has fallen silent:
// half of them soon after, half once the program's audio thread has parked in the silence.
// Prints the median and 99th percentile of each start with the device buffer size the program
// ran at, and exits 1 when a start misses the bound.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
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

constexpr int kStarts = 3;
constexpr int kKeys = 100;
constexpr double kBoundP99Ms = 12.0;          // through PulseAudio
constexpr double kBoundPipeWireP99Ms = 15.0;  // through PipeWire
constexpr int kRate = 44100;
// A sample this loud (16-bit) is sound, in the file and at the sink alike.
constexpr int kLoud = 64;
// The sink counts as silent once this long passed without a loud sample.
constexpr auto kSilence = 150ms;
constexpr const char* kCue = "menúOtro.wav";

// Frames of near-silence a 16-bit PCM wave file holds before its first loud sample.
std::optional<int> leadInFrames(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const auto read16 = [&](std::size_t at) {
        return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                                    static_cast<uint8_t>(bytes[at + 1]) << 8);
    };
    const auto read32 = [&](std::size_t at) {
        return static_cast<uint32_t>(static_cast<uint16_t>(read16(at))) |
               static_cast<uint32_t>(static_cast<uint16_t>(read16(at + 2))) << 16;
    };
    int channels = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = read32(at + 4);
        if (id == "fmt " && at + 12 <= bytes.size())
            channels = read16(at + 10);
        if (id == "data" && channels > 0) {
            const std::size_t end = std::min<std::size_t>(bytes.size(), at + 8 + size);
            for (std::size_t sample = at + 8; sample + 1 < end; sample += 2) {
                if (std::abs(read16(sample)) >= kLoud)
                    return static_cast<int>((sample - at - 8) / 2 / channels);
            }
            return std::nullopt;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// Reads the null sink's monitor through parec (1 ms fragments) on a thread of its own and
// keeps, for the latest loud sample, the moment it was at the sink: the arrival of its read
// less the frames that came after it in the same read.
class SinkMonitor {
public:
    explicit SinkMonitor(const std::string& source) {
        const std::string command =
            "exec parec --raw --format=s16le --rate=44100 --channels=2 "
            "--latency-msec=1 -d " +
            source + " 2>/dev/null";
        pipe_ = ::popen(command.c_str(), "r");
        if (pipe_ != nullptr)
            reader_ = std::thread(&SinkMonitor::read, this);
    }
    ~SinkMonitor() {
        stop_ = true;
        if (reader_.joinable())
            reader_.join();
        if (pipe_ != nullptr)
            ::pclose(pipe_);
    }
    bool running() const { return pipe_ != nullptr; }
    // The first loud sample at or after `from`, if one came.
    std::optional<Clock::time_point> firstLoudAfter(Clock::time_point from) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const Clock::time_point onset : onsets_) {
            if (onset >= from)
                return onset;
        }
        return std::nullopt;
    }
    Clock::time_point lastLoud() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return lastLoud_;
    }

private:
    void read() {
        const int descriptor = ::fileno(pipe_);
        std::vector<int16_t> samples(8192);
        bool sounding = false;
        while (!stop_) {
            pollfd readable{descriptor, POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0)
                continue;
            const ssize_t bytes = ::read(descriptor, samples.data(), samples.size() * 2);
            const Clock::time_point arrival = Clock::now();
            if (bytes <= 0)
                break;
            const std::size_t count = static_cast<std::size_t>(bytes) / 2;
            const std::size_t frames = count / 2;
            const std::lock_guard<std::mutex> lock(mutex_);
            for (std::size_t sample = 0; sample < count; ++sample) {
                if (std::abs(samples[sample]) < kLoud)
                    continue;
                const auto after = std::chrono::nanoseconds(
                    static_cast<int64_t>(frames - sample / 2) * 1'000'000'000 / kRate);
                const Clock::time_point at = arrival - after;
                if (!sounding || at - lastLoud_ > kSilence)
                    onsets_.push_back(at);
                sounding = true;
                lastLoud_ = at;
            }
        }
    }

    FILE* pipe_ = nullptr;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Clock::time_point> onsets_;  // where sound began after silence
    Clock::time_point lastLoud_{};
};

struct StartResult {
    std::vector<double> millis;       // every key's
    std::vector<double> soonMillis;   // keys soon after the previous cue
    std::vector<double> sleptMillis;  // keys after the audio thread fell asleep
    int bufferFrames = 0;             // as the program chose it
    int unheard = 0;
    bool throughPulseLayer = false;  // PipeWire only: the stream came through its PulseAudio layer
    std::string failure;             // why the start could not be measured; empty when it was
};

StartResult measureOneStart(const fs::path& program, const fs::path& root, double leadInMs,
                            std::mt19937& random) {
    StartResult result;
    velozor::bench::Keyboard keyboard;
    velozor::testing::ProgramRun game;  // killed when this returns
    std::string error;
    if (!keyboard.ready()) {
        result.failure = "keys cannot be sent to the program";
        return result;
    }
    // In Spanish whatever the machine's language: the copy has the folder sonidos alone.
    if (!game.launch({{program.string(), "--language", "es"}, {}, {}, root / "stderr.txt", {}},
                     error)) {
        result.failure = error;
        return result;
    }
    if (game.waitForWindow("Velozor", 20s).empty()) {
        result.failure =
            "its window did not open within 20 s; its standard error:\n" + game.trace();
        return result;
    }
    SinkMonitor monitor("velozor_test.monitor");
    if (!monitor.running()) {
        result.failure = "cannot start parec to read the sink";
        return result;
    }
    std::this_thread::sleep_for(6s);  // the shortened introduction; play starts after it
    // PipeWire lists the streams of its PulseAudio layer with this property; native ones without.
    result.throughPulseLayer = velozor::testing::commandOutput("pactl list sink-inputs 2>/dev/null")
                                   .find("client.api = \"pipewire-pulse\"") != std::string::npos;
    keyboard.press("Escape");  // the end cue, then the menu and its spoken introduction
    std::this_thread::sleep_for(8s);
    keyboard.press("Up");  // selects "another game"; other keys repeat it from here on
    std::this_thread::sleep_for(1500ms);
    // Every other key comes soon after the previous cue, while the program's audio thread still
    // runs; the others after it has parked (after a second of silence), so each pays
    // for waking it.
    std::uniform_int_distribution<int> soonPause(20, 80);
    std::uniform_int_distribution<int> sleptPause(1300, 1800);
    for (int key = 0; key < kKeys; ++key) {
        while (Clock::now() - monitor.lastLoud() < kSilence)
            std::this_thread::sleep_for(10ms);
        const bool slept = key % 2 == 1;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(slept ? sleptPause(random) : soonPause(random)));
        const Clock::time_point sent = keyboard.press("Left");
        std::optional<Clock::time_point> onset;
        for (const Clock::time_point limit = sent + 2s; !onset && Clock::now() < limit;) {
            std::this_thread::sleep_for(5ms);
            onset = monitor.firstLoudAfter(sent);
        }
        if (!onset) {
            ++result.unheard;
            continue;
        }
        const double millis =
            std::chrono::duration<double, std::milli>(*onset - sent).count() - leadInMs;
        result.millis.push_back(millis);
        (slept ? result.sleptMillis : result.soonMillis).push_back(millis);
    }
    const std::string text = game.trace();
    // The program's first size through a sound server (128 frames), or the one its last
    // fall-back line names.
    result.bufferFrames = 128;
    const std::string fallBack = "does not keep up with ";
    if (const auto at = text.rfind(fallBack); at != std::string::npos) {
        if (const auto using_ = text.find("; using ", at); using_ != std::string::npos)
            result.bufferFrames = std::atoi(text.c_str() + using_ + 8);
    }
    return result;
}

// One way from the program to a sound server's sink.
struct SoundPath {
    const char* name;
    velozor::bench::SoundServer server;
    const char* driver;  // SDL_AUDIODRIVER; nullptr: the program's own choice
    double boundP99Ms;
};

// Measures kStarts starts along `path`; false when a start misses the bound or could not be
// measured.
bool measurePath(const SoundPath& path, std::mt19937& random) {
    std::optional<velozor::bench::ServerRun> run =
        velozor::bench::prepareServerRun("velozor-bench-latency", path.server);
    if (!run) {
        std::printf("%s: not measured (its server could not start)\n", path.name);
        return false;
    }
    if (path.driver != nullptr)
        ::setenv("SDL_AUDIODRIVER", path.driver, 1);
    else
        ::unsetenv("SDL_AUDIODRIVER");
    const fs::path& root = run->root;
    const std::optional<int> lead = leadInFrames(root / "sonidos" / kCue);
    if (!lead) {
        std::printf("%s: not measured (%s holds no sound)\n", path.name, kCue);
        return false;
    }
    const double leadInMs = *lead * 1000.0 / kRate;
    ::unsetenv("PULSE_LATENCY_MSEC");  // the program's own choice is what is measured

    std::printf(
        "%s: key through X -> first sample of its cue at a null sink, %d keys a start (cue's "
        "own lead-in, %.2f ms, taken off):\n",
        path.name, kKeys, leadInMs);
    bool met = true;
    for (int start = 1; start <= kStarts; ++start) {
        const StartResult result = measureOneStart(run->program, root, leadInMs, random);
        if (!result.failure.empty()) {
            std::printf("  start %d: %s\n", start, result.failure.c_str());
            met = false;
            continue;
        }
        if (result.millis.empty()) {
            std::printf("  start %d: no cue was heard\n", start);
            met = false;
            continue;
        }
        const double p99 = percentile(result.millis, 0.99);
        const char* route = path.server == velozor::bench::SoundServer::PulseAudio ? ""
                            : result.throughPulseLayer ? " (PulseAudio layer)"
                                                       : " (SDL's PipeWire driver)";
        std::printf(
            "  start %d%s: %d-frame buffers, p50 %.1f ms, p99 %.1f ms, min %.1f, max %.1f, "
            "unheard %d (bound: p99 <= %.0f ms)\n",
            start, route, result.bufferFrames, percentile(result.millis, 0.5), p99,
            *std::min_element(result.millis.begin(), result.millis.end()),
            *std::max_element(result.millis.begin(), result.millis.end()), result.unheard,
            path.boundP99Ms);
        // Waking the parked audio thread may cost a sound one buffer, no more.
        const double bufferMs = result.bufferFrames * 1000.0 / kRate;
        double wakeCost = 0;
        if (!result.soonMillis.empty() && !result.sleptMillis.empty()) {
            wakeCost = percentile(result.sleptMillis, 0.5) - percentile(result.soonMillis, 0.5);
            std::printf(
                "    soon after a cue: p50 %.1f ms, p99 %.1f; after 1.3-1.8 s of silence (audio "
                "thread asleep): p50 %.1f ms, p99 %.1f; waking costs %.1f ms at the median "
                "(bound: one buffer, %.1f ms)\n",
                percentile(result.soonMillis, 0.5), percentile(result.soonMillis, 0.99),
                percentile(result.sleptMillis, 0.5), percentile(result.sleptMillis, 0.99), wakeCost,
                bufferMs);
        }
        met = met && p99 <= path.boundP99Ms && result.unheard == 0 && wakeCost <= bufferMs;
    }
    run->server->kill();
    fs::remove_all(root);
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    using velozor::bench::SoundServer;
    // The program's own choice on each server, then, for comparison, PipeWire through its
    // PulseAudio layer (what SDL uses there when its PipeWire driver cannot load, or when the
    // player asks for the pulseaudio driver). Only the first two have bounds the program owns.
    const SoundPath paths[] = {
        {"PulseAudio", SoundServer::PulseAudio, "pulseaudio", kBoundP99Ms},
        {"PipeWire, the program's choice", SoundServer::PipeWire, nullptr, kBoundPipeWireP99Ms},
        {"PipeWire's PulseAudio layer (SDL_AUDIODRIVER=pulseaudio)", SoundServer::PipeWire,
         "pulseaudio", 1e9},
    };
    // An argument picks one path by the start of its name ("PulseAudio", "PipeWire,",
    // "PipeWire's"); each path takes some eight minutes.
    const std::string only = argc > 1 ? argv[1] : "";
    std::mt19937 random(13);
    bool met = true;
    for (const SoundPath& path : paths) {
        if (std::string(path.name).rfind(only, 0) == 0)
            met = measurePath(path, random) && met;
    }
    return met ? 0 : 1;
}
