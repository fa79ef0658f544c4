// A PipeWire server of the benchmark's own, as a desktop runs one: the daemon, its session
// manager (WirePlumber, on a private D-Bus session, which links each new stream to the default
// sink) and its PulseAudio layer, with one null sink "velozor_test" as the default. This process
// and the programs it starts find it through XDG_RUNTIME_DIR (SDL's PipeWire driver) and
// PULSE_SERVER (PulseAudio clients, parec included).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace velozor::bench {

class PipeWireServer {
public:
    // Keeps its runtime folder, home and log under `folder` (created here), and points this
    // process's clients at it.
    explicit PipeWireServer(std::filesystem::path folder);
    // Stops the daemons if they run.
    ~PipeWireServer();

    PipeWireServer(const PipeWireServer&) = delete;
    PipeWireServer& operator=(const PipeWireServer&) = delete;

    // Starts the three daemons and the sink, and returns once the session manager has made the
    // sink the default (at most 15 s); on failure sets `error` to what failed, with the end of
    // the daemons' log.
    bool start(std::string& error);
    void stop();

private:
    std::filesystem::path folder_;
    pid_t group_ = -1;  // dbus-run-session, leader of the daemons' process group
};

}  // namespace velozor::bench
