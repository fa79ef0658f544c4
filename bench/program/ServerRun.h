// The real program as the benchmarks that play through a sound server set it up: a copy beside
// its sound folder with a short introduction, and a sound server of the benchmark's own.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/PulseServer.h"

namespace velozor::bench {

// Copies `program` and `soundFolder` into `root` (created here) with the four introduction
// files replaced by the one-second end cue, so play begins within seconds instead of forty.
// Returns the copy's path.
std::filesystem::path copyWithShortIntroduction(const std::filesystem::path& program,
                                                const std::filesystem::path& soundFolder,
                                                const std::filesystem::path& root);

using velozor::testing::SoundServer;

// What a benchmark that plays through a sound server sets up before it starts the program.
struct ServerRun {
    std::filesystem::path root;     // a temporary folder; removed by the benchmark at its end
    std::filesystem::path program;  // the copy made by copyWithShortIntroduction
    std::unique_ptr<velozor::testing::PulseServer> server;  // killed when this ends
};

// Checks for a display, makes this process's standard output line-buffered (each figure as
// soon as it is known), copies the program into a temporary folder named after `benchmark`,
// starts a sound server of its own there and points this process and the programs it starts at
// it, with no buffer size forced: on PulseAudio, SDL's `pulseaudio` driver; on PipeWire, no
// driver, so the program makes its own choice. Returns nothing after saying on standard error
// what is missing.
std::optional<ServerRun> prepareServerRun(const std::string& benchmark,
                                          SoundServer server = SoundServer::PulseAudio);

}  // namespace velozor::bench
