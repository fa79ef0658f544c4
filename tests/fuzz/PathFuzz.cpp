// Fuzzes the path resolver on a small folder of its own whose names mix cases and the three
// spellings of accented letters: any bytes resolve or do not, and what resolves exists.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "sound/mixer/PathResolver.h"
#include "tests/fuzz/FuzzRequire.h"

namespace {

namespace fs = std::filesystem;

std::string root;  // '\\'-separated, as the game writes paths

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path folder =
        fs::temp_directory_path() / ("velozor-fuzz-paths-" + std::to_string(getpid()));
    for (const char* relative :
         {"sonidos/Motor.WAV",
          "sonidos/obst\xC3\xA1"
          "culo/1.wav",
          "sonidos/obsta\xCC\x81"
          "culo/2.wav",
          "sonidos/c\xE1mara/3.wav", "sonidos/intro/arch 1.wav", "sonidos/fondo.mp3"}) {
        const fs::path file = folder / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    fs::create_directories(folder / "sonidos" / "vac\xC3\xADo");
    root = folder.string();
    // The folder goes with the process; libFuzzer ends it with exit() or a signal.
    std::atexit([] { fs::remove_all(root); });
    return 0;
}

using velozor::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view tail(reinterpret_cast<const char*>(data), size);
    velozor::foldedName(tail);
    const auto resolved = velozor::resolveGamePath(root + "\\" + std::string(tail));
    if (resolved) {
        std::error_code error;
        require(fs::exists(resolved->path, error));
    }
    return 0;
}
