// A PulseAudio server of the test's own: user mode, one null sink, its own runtime folder and
// home, so a test can play through a real sound server, kill it and start another, and read
// what reached the sink from the sink's monitor.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

namespace velozor::testing {

class PulseServer {
public:
    // Keeps its runtime folder, home and log under `folder` (created here), and points this
    // process's PulseAudio clients at it (PULSE_SERVER and friends, autospawn off).
    explicit PulseServer(std::filesystem::path folder);
    // Kills the server if it runs.
    ~PulseServer();

    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and returns once it answers (at most 10 s); on failure sets `error`
    // to what failed, with the end of the server's log.
    bool start(std::string& error);
    // Kills the server by its process id, without warning (as a crash would), and reaps it.
    void kill();
    // Stops the server's process (SIGSTOP) and lets it go on (SIGCONT): a device that stalls,
    // consuming nothing meanwhile, without going away.
    void freeze();
    void thaw();

    // Reads the null sink's monitor for up to `seconds`, calling `meanwhile` about every
    // 50 ms; returns true as soon as a sample other than silence arrives.
    bool sinkSounds(double seconds, const std::function<void()>& meanwhile);

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

}  // namespace velozor::testing
