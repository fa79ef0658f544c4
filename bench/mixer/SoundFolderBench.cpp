// Benchmarks of the default sound folder as the back end meets it: the start-up check of every
// file, and the memory the sample cache holds once a game has heard every file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/SoundPlatform.h"
#include "sound/mixer/MixerPlatform.h"
#include "sound/mixer/PathResolver.h"
#include "sound/mixer/SampleCache.h"
#include "sound/mixer/SoundFileFinder.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;

// Every file of the folder the build made (VELOZOR_DEFAULT_SOUND_FOLDER), as game paths.
std::vector<std::string> defaultFolderGamePaths() {
    const fs::path folder = VELOZOR_DEFAULT_SOUND_FOLDER;
    std::vector<std::string> paths;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::string relative = fs::relative(entry.path(), folder).string();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        paths.push_back(folder.parent_path().string() + "\\sonidos\\" + relative);
    }
    if (paths.empty())
        throw std::runtime_error("no sound folder at " + folder.string() + ": build it first");
    return paths;
}

// The check the game runs before its introduction: headers only, every file of the folder.
void StartUpCheckOfTheDefaultFolder(benchmark::State& state) {
    const std::vector<std::string> paths = defaultFolderGamePaths();
    for (auto _ : state) {
        if (!findSoundFileProblems(paths, findMixerSoundFile).empty()) {
            state.SkipWithError("the default folder has files the check refuses");
            break;
        }
    }
    state.counters["files"] = static_cast<double>(paths.size());
}
BENCHMARK(StartUpCheckOfTheDefaultFolder)->Unit(benchmark::kMillisecond);

// Every wave file of the folder decoded through the game's cache, as a whole game (intro, help,
// every lane at every step, every cue) would: the bytes held then are a game's peak.
void SampleCachePeakOfAWholeGame(benchmark::State& state) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    std::string error;
    const std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    if (!platform)
        throw std::runtime_error(error);
    size_t held = 0;
    for (auto _ : state) {
        SampleCache cache;
        for (const std::string& path : defaultFolderGamePaths()) {
            if (path.ends_with(".mp3"))
                continue;  // the music is streamed, never cached
            uint32_t code = 0;
            std::string detail;
            if (!cache.load(*resolveGamePath(path), code, detail))
                state.SkipWithError(detail.c_str());
        }
        held = cache.heldBytes();
    }
    state.counters["held_MiB"] = static_cast<double>(held) / (1 << 20);
    state.counters["budget_MiB"] = static_cast<double>(kSampleCacheBudgetBytes) / (1 << 20);
}
BENCHMARK(SampleCachePeakOfAWholeGame)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace velozor
