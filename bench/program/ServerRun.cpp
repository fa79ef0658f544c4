// Setting up the real program and a sound server of the benchmark's own.
#include "bench/program/ServerRun.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench/program/Display.h"

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

std::optional<ServerRun> prepareServerRun(const std::string& benchmark, SoundServer server) {
    if (!haveDisplay(benchmark.c_str()))
        return std::nullopt;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ServerRun run;
    run.root = fs::temp_directory_path() / (benchmark + "-" + std::to_string(::getpid()));
    run.program = copyWithShortIntroduction(VELOZOR_PROGRAM, VELOZOR_SOUND_FOLDER, run.root);
    run.server = std::make_unique<velozor::testing::PulseServer>(run.root / "server", server);
    std::string error;
    const bool started = run.server->start(error);
    if (server == SoundServer::PulseAudio)
        ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    else
        ::unsetenv("SDL_AUDIODRIVER");
    if (!started) {
        std::fprintf(stderr, "%s: %s\n", benchmark.c_str(), error.c_str());
        return std::nullopt;
    }
    ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    return run;
}

}  // namespace velozor::bench
