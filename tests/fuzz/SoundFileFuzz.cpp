// Fuzzes the loading of a sound file: the bytes of a file, written to disk and decoded by the
// sample cache exactly as a channel's open does, on SDL's dummy audio device. A file decodes
// into whole frames or fails with a reason; it never crashes and never leaks its samples.
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sound/SoundPlatform.h"
#include "sound/mixer/SampleCache.h"
#include "tests/fuzz/FuzzRequire.h"

namespace {

std::string path;  // the file each input is written to

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudioDevice(44100, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
        std::fprintf(stderr, "cannot open SDL's dummy audio device: %s\n", SDL_GetError());
        std::exit(1);
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    path = (std::filesystem::temp_directory_path() /
            ("velozor-fuzz-sound-" + std::to_string(getpid()) + ".wav"))
               .string();
    std::atexit([] {
        std::remove(path.c_str());
        Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();
    });
    return 0;
}

using velozor::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    velozor::ResolvedFile file{path, static_cast<int64_t>(size), 0, true};
    velozor::SampleCache cache;
    uint32_t error = 0;
    std::string detail;
    const velozor::SharedChunk chunk = cache.load(file, error, detail);
    if (chunk) {
        require(chunk->alen % (2 * sizeof(int16_t)) == 0);  // whole stereo frames
    } else {
        require(error == velozor::MCIERR_CANNOT_LOAD_DRIVER);
    }
    return 0;
}
