// A PipeWire server of the benchmark's own.
#include "bench/program/PipeWireServer.h"

#include "tests/support/ProgramProbe.h"
#include "tests/support/ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace velozor::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {}  // namespace

PipeWireServer::PipeWireServer(fs::path folder) : folder_(std::move(folder)) {
    fs::create_directories(folder_ / "home");
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
    ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    ::setenv("PIPEWIRE_RUNTIME_DIR", folder_.c_str(), 1);
    ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "pulse" / "native").string()).c_str(), 1);
    ::unsetenv("PULSE_CLIENTCONFIG");
    ::unsetenv("PULSE_RUNTIME_PATH");
    ::unsetenv("PIPEWIRE_REMOTE");
}

PipeWireServer::~PipeWireServer() {
    stop();
}

bool PipeWireServer::start(std::string& error) {
    const fs::path log = folder_ / "server.log";
    // WirePlumber starts once the daemon's socket is there; all three end with the session.
    const std::string script =
        "pipewire & while [ ! -S \"$XDG_RUNTIME_DIR/pipewire-0\" ]; do sleep 0.05; done; "
        "wireplumber & pipewire-pulse & wait";
    group_ = velozor::testing::startServerProcess(
        {"dbus-run-session", "--", "sh", "-c", script},
        {"HOME=" + (folder_ / "home").string(), "XDG_RUNTIME_DIR=" + folder_.string(),
         "PIPEWIRE_RUNTIME_DIR=" + folder_.string()},
        log, true);
    if (group_ < 0) {
        error =
            "cannot start dbus-run-session (scripts/bench installs dbus-daemon, pipewire, "
            "pipewire-pulse and wireplumber)";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + 15s;
    bool sinkMade = false;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(group_, &status, WNOHANG) == group_) {
            group_ = -1;
            error = "the PipeWire session ended at start: " + velozor::testing::logEnd(log);
            return false;
        }
        if (!sinkMade && std::system("pactl info >/dev/null 2>&1") == 0) {
            sinkMade = std::system(
                           "pactl load-module module-null-sink sink_name=velozor_test "
                           "rate=44100 channels=2 >/dev/null 2>&1 && "
                           "pactl set-default-sink velozor_test") == 0;
        }
        // The session manager, not the PulseAudio layer, makes a sink the default: once it has,
        // it also links new streams.
        if (sinkMade && velozor::testing::commandOutput("pactl get-default-sink 2>/dev/null") ==
                            "velozor_test\n")
            return true;
        std::this_thread::sleep_for(50ms);
    }
    error = std::string(sinkMade ? "WirePlumber did not make the null sink the default"
                                 : "PipeWire's PulseAudio layer did not answer") +
            " within 15 s: " + velozor::testing::logEnd(log);
    stop();
    return false;
}

void PipeWireServer::stop() {
    if (group_ <= 0)
        return;
    ::kill(-group_, SIGTERM);
    const Clock::time_point deadline = Clock::now() + 3s;
    while (Clock::now() < deadline && ::waitpid(group_, nullptr, WNOHANG) != group_)
        std::this_thread::sleep_for(20ms);
    ::kill(-group_, SIGKILL);  // whatever of the group is left
    ::waitpid(group_, nullptr, WNOHANG);
    group_ = -1;
}

}  // namespace velozor::bench
