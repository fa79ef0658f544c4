// The real program as the benchmarks that play through a sound server start it: a copy beside
// its sound folder with a short introduction, its processor time, and keys sent to its window
// through the X server's XTest extension (as a keyboard would send them).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "PipeWireServer.h"
#include "PulseServer.h"

struct _XDisplay;  // Xlib's Display, without its macros

namespace velozor::bench {

// Copies `program` and `soundFolder` into `root` (created here) with the four introduction
// files replaced by the one-second end cue, so play begins within seconds instead of forty.
// Returns the copy's path.
std::filesystem::path copyWithShortIntroduction(const std::filesystem::path& program,
                                                const std::filesystem::path& soundFolder,
                                                const std::filesystem::path& root);

enum class SoundServer { PulseAudio, PipeWire };

// What a benchmark that plays through a sound server sets up before it starts the program.
struct ServerRun {
    std::filesystem::path root;     // a temporary folder; removed by the benchmark at its end
    std::filesystem::path program;  // the copy made by copyWithShortIntroduction
    // One of the two, stopped when this ends.
    std::unique_ptr<velozor::testing::PulseServer> pulseAudio;
    std::unique_ptr<PipeWireServer> pipeWire;

    void stopServer();
};

// Checks for a display, makes this process's standard output line-buffered (each figure as
// soon as it is known), copies the program into a temporary folder named after `benchmark`,
// starts a sound server of its own there and points this process and the programs it starts at
// it, with no buffer size forced: on PulseAudio, SDL's `pulseaudio` driver; on PipeWire, no
// driver, so the program makes its own choice. Returns nothing after saying on standard error
// what is missing.
std::optional<ServerRun> prepareServerRun(const std::string& benchmark,
                                          SoundServer server = SoundServer::PulseAudio);

// Starts `program` with this process's environment and its standard error into `errorLog`;
// returns its process id, or -1 after saying on standard error why it could not start.
pid_t startProgram(const std::filesystem::path& program, const std::filesystem::path& errorLog);

// Kills and reaps the program.
void stopProgram(pid_t pid);

// utime + stime of `pid` in seconds, from /proc; negative once the process has ended.
double processorSeconds(pid_t pid);
// The same for each of its threads, keyed "<thread id> <thread name>"; ended threads left out.
std::map<std::string, double> threadProcessorSeconds(pid_t pid);

// How many lines of the text file at `path` hold `text`.
int linesHolding(const std::filesystem::path& path, const std::string& text);

// Keys to the window under the pointer, which XTest moves into the program's window (at the
// screen's top left: no window manager runs under Xvfb).
class Keyboard {
public:
    Keyboard();
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // False (with the reason on standard error) when the display or XTest is missing.
    bool ready() const { return display_ != nullptr; }
    // Presses and releases `keyName` (an X key name: "Up", "Escape", "Left"); returns the
    // moment the press left for the X server.
    std::chrono::steady_clock::time_point press(const std::string& keyName);

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace velozor::bench
