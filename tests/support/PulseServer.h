// A sound server of the test's own that PulseAudio clients reach, with one null sink
// "velozor_test": PulseAudio itself, or PipeWire as a desktop runs it. A test can play through
// it, kill it and start another, and read what reached the sink from the sink's monitor.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velozor::testing {

enum class SoundServer {
    PulseAudio,  // pulseaudio in user mode
    // The daemon, its session manager (WirePlumber, on a private D-Bus session, which links each
    // new stream to the default sink) and its PulseAudio layer.
    PipeWire,
};

class PulseServer {
public:
    // Keeps its runtime folder, home and log under `folder` (created here), and points this
    // process's clients at it: PulseAudio clients through PULSE_SERVER (autospawn off), SDL's
    // PipeWire driver through XDG_RUNTIME_DIR.
    explicit PulseServer(std::filesystem::path folder,
                         SoundServer server = SoundServer::PulseAudio);
    // Kills the server if it runs.
    ~PulseServer();

    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and returns once it answers with the sink as its default, playing in
    // real time (at most 15 s); on failure sets `error` to what failed, with the end of the
    // server's log.
    bool start(std::string& error);
    // Kills the server (PipeWire's daemons and D-Bus session together) without warning, as a
    // crash would, and reaps it.
    void kill();
    // Stops the server's processes (SIGSTOP) and lets them go on (SIGCONT): a device that
    // stalls, consuming nothing meanwhile, without going away.
    void freeze();
    void thaw();

    // Reads the null sink's monitor for up to `seconds`; returns true as soon as a sample other
    // than silence arrives, or, given `heard`, as soon as `heard` holds for a 100 ms window of it
    // (interleaved stereo).
    bool sinkSounds(double seconds,
                    const std::function<bool(const std::vector<int16_t>&)>& heard = {});

private:
    // Waits up to `limit` until `missing` (what the server has yet to do, empty once it has done
    // all) returns empty; otherwise kills it and says why in `error`.
    bool waitUntilReady(const std::function<std::string()>& missing, std::chrono::seconds limit,
                        std::string& error);
    void send(int signal);

    std::filesystem::path folder_;
    SoundServer server_;
    // pulseaudio, or dbus-run-session leading the PipeWire daemons' process group
    pid_t pid_ = -1;
};

}  // namespace velozor::testing
