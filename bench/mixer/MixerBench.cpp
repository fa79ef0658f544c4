// Benchmarks of the SDL2_mixer back end: what a channel cycle costs the game's thread, and
// what mixing everything the game can sound at once costs the audio thread.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

#include "bench/Percentile.h"
#include "sound/mixer/MixerPlatform.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using testing::kRate;

// A program folder like a player's, with a space and the accented folders, removed at exit.
class SoundFolder {
public:
    SoundFolder() {
        root_ = fs::temp_directory_path() / ("velozor-bench-" + std::to_string(::getpid()));
        folder_ = root_ / "Mis juegos" / "velozor";
        fs::create_directories(folder_ / "sonidos" /
                               "obst\xC3\xA1"
                               "culos" /
                               "obst\xC3\xA1"
                               "culo1");
    }
    ~SoundFolder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    // Writes a `seconds`-long wave under sonidos/ and returns the path the game would use.
    std::string wave(const std::string& relative, double seconds, int16_t level) {
        testing::writeWav(folder_ / "sonidos" / relative, static_cast<int>(seconds * kRate),
                          [level](int frame) { return static_cast<int16_t>(level + frame % 64); });
        return gamePath(relative);
    }
    std::string mp3(const std::string& relative, double seconds) {
        testing::writeMp3(folder_ / "sonidos" / relative, static_cast<int>(seconds * kRate), 6000);
        return gamePath(relative);
    }
    std::string gamePath(std::string relative) const {
        std::replace(relative.begin(), relative.end(), '/', '\\');
        return folder_.string() + "\\sonidos\\" + relative;
    }

private:
    fs::path root_;
    fs::path folder_;
};

// Opens the back end on SDL's disk driver writing to /dev/null: `delayMillis` -1 paces it in
// real time like a sound card, 0 lets the audio thread mix as fast as it can.
std::unique_ptr<MixerPlatform> openOnDisk(int delayMillis) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    if (delayMillis < 0) {
        ::unsetenv("SDL_DISKAUDIODELAY");
    } else {
        ::setenv("SDL_DISKAUDIODELAY", std::to_string(delayMillis).c_str(), 1);
    }
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    if (!platform)
        throw std::runtime_error(error);
    return platform;
}

uint32_t send(MixerPlatform& platform, const std::string& command) {
    char noReply[] = "0";
    return platform.mciSendStringA(command.c_str(), noReply, 0, 0);
}

// The game's cycle of the obstacle channel (close, short path, open, play) on a file decoded
// before, with the device mixing in real time meanwhile. Reports the median and the 99th
// percentile of single cycles, as well as the usual mean.
void ChannelCycleOnACachedFile(benchmark::State& state) {
    SoundFolder folder;
    const std::string path = folder.wave(
        "obst\xC3\xA1"
        "culos/obst\xC3\xA1"
        "culo1/obstacle16.wav",
        1.0, 3000);
    std::unique_ptr<MixerPlatform> platform = openOnDisk(-1);
    const std::string alias =
        "obst\xC3\xA1"
        "culo";
    std::vector<char> shortPath(4096);
    std::vector<double> micros;
    micros.reserve(1 << 20);
    uint32_t failures = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        send(*platform, "CLOSE " + alias);
        platform->GetShortPathNameA(path.c_str(), shortPath.data(), 4096);
        failures += send(
            *platform, "OPEN " + std::string(shortPath.data()) + " TYPE waveaudio ALIAS " + alias);
        failures += send(*platform, "PLAY " + alias);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (failures != 0)
        state.SkipWithError("a cycle failed: the fixture did not open or play");
    state.counters["median_us"] = velozor::bench::percentile(micros, 0.5);
    state.counters["p99_us"] = velozor::bench::percentile(micros, 0.99);
    state.counters["buffer_frames"] = platform->bufferFrames();
}
BENCHMARK(ChannelCycleOnACachedFile)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The mixing cost with the music, all seven channels and a one-shot sounding together. The
// disk driver runs with no delay, so the audio thread mixes back to back while this thread
// sleeps; the process's CPU time over one second of mixed audio is then the mixing cost,
// plus SDL's own work per buffer (a write to /dev/null), so it is an upper bound. Each
// iteration reports that CPU time as its duration: read "Time" as CPU per second of audio.
void MixingCostPerSecondOfAudio(benchmark::State& state) {
    SoundFolder folder;
    const char* aliases[] = {"motor",     "vidas", "finestereo", "esquivar",
                             "obstáculo", "obst",  "auto"};
    std::vector<std::string> files;
    for (int index = 0; index < 7; ++index) {
        files.push_back(folder.wave("canal" + std::to_string(index) + ".wav", 5.0,
                                    static_cast<int16_t>(500 + 300 * index)));
    }
    const std::string oneShot = folder.wave("introd.wav", 5.0, 400);
    const std::string music = folder.mp3("fondo.mp3", 5.0);
    std::unique_ptr<MixerPlatform> platform = openOnDisk(0);
    std::vector<char> shortPath(4096);

    for (auto _ : state) {
        // Everything starts afresh, so nothing ends within the measured second.
        platform->mciExecute("Close all");
        for (int index = 0; index < 7; ++index) {
            platform->GetShortPathNameA(files[index].c_str(), shortPath.data(), 4096);
            send(*platform, "OPEN " + std::string(shortPath.data()) + " TYPE waveaudio ALIAS " +
                                aliases[index]);
            send(*platform, std::string("PLAY ") + aliases[index]);
        }
        platform->GetShortPathNameA(music.c_str(), shortPath.data(), 4096);
        platform->mciExecute(("OPEN " + std::string(shortPath.data())).c_str());
        platform->mciExecute(("PLAY " + std::string(shortPath.data())).c_str());
        platform->sndPlaySoundA(oneShot.c_str(), SND_ASYNC);

        const uint64_t firstFrame = platform->framesMixed();
        const double cpuBefore = processCpuSeconds();
        while (platform->framesMixed() < firstFrame + kRate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const double cpu = processCpuSeconds() - cpuBefore;
        const double audioSeconds =
            static_cast<double>(platform->framesMixed() - firstFrame) / kRate;
        if (Mix_Playing(-1) != 8 || Mix_PlayingMusic() == 0) {
            state.SkipWithError("not everything was sounding throughout the measurement");
            break;
        }
        state.SetIterationTime(cpu / audioSeconds);
    }
    state.counters["buffer_frames"] = platform->bufferFrames();
}
BENCHMARK(MixingCostPerSecondOfAudio)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
}  // namespace velozor

BENCHMARK_MAIN();
