// A PulseAudio server of the test's own.
#include "tests/support/PulseServer.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "tests/support/ProgramProbe.h"
#include "tests/support/ServerProcess.h"

namespace velozor::testing {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kSink = "velozor_test";

PulseServer::PulseServer(fs::path folder) : folder_(std::move(folder)) {
    fs::create_directories(folder_ / "runtime");
    fs::create_directories(folder_ / "home");
    std::ofstream(folder_ / "client.conf") << "autospawn = no\n";
    ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "runtime" / "native").string()).c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (folder_ / "client.conf").c_str(), 1);
    ::setenv("PULSE_RUNTIME_PATH", (folder_ / "runtime").c_str(), 1);
}

PulseServer::~PulseServer() {
    kill();
}

bool PulseServer::start(std::string& error) {
    const fs::path log = folder_ / "server.log";
    const std::string sink = std::string("module-null-sink sink_name=") + kSink;
    const std::string socket = "module-native-protocol-unix auth-anonymous=1 socket=" +
                               (folder_ / "runtime" / "native").string();
    // --system=false lets root run it as a user's server; -n skips the system's default.pa.
    pid_ = startServerProcess(
        {"pulseaudio", "-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
         "--disallow-exit", "--use-pid-file=no", "--log-target=stderr", "-L", sink, "-L", socket},
        {"HOME=" + (folder_ / "home").string(), "XDG_RUNTIME_DIR=" + folder_.string(),
         "PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string()},
        log, false);
    if (pid_ < 0) {
        error =
            "cannot start pulseaudio (install pulseaudio and pulseaudio-utils: scripts/deps.sh "
            "lists them)";
        return false;
    }
    bool ended = false;
    if (waitUntil(
            [&] {
                ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
                return ended || std::system("pactl info >/dev/null 2>&1") == 0;
            },
            std::chrono::seconds(10)) &&
        !ended)
        return true;
    error = (ended ? "pulseaudio ended at start: " : "pulseaudio did not answer within 10 s: ") +
            logEnd(log);
    if (ended)
        pid_ = -1;
    else
        kill();
    return false;
}

void PulseServer::kill() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PulseServer::freeze() {
    if (pid_ > 0)
        ::kill(pid_, SIGSTOP);
}

void PulseServer::thaw() {
    if (pid_ > 0)
        ::kill(pid_, SIGCONT);
}

bool PulseServer::sinkSounds(double seconds, const std::function<void()>& meanwhile) {
    // `timeout` bounds the reader even if this process never closes the pipe.
    const std::string command = "timeout " + std::to_string(static_cast<int>(seconds) + 5) +
                                " parec --raw --format=s16le --rate=44100 --channels=2 "
                                "--latency-msec=20 -d " +
                                kSink + ".monitor 2>/dev/null";
    FILE* monitor = ::popen(command.c_str(), "r");
    if (monitor == nullptr)
        return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(seconds));
    bool heard = false;
    Clock::time_point nextCall = Clock::now();
    std::vector<int16_t> samples(4096);
    while (!heard && Clock::now() < deadline) {
        if (Clock::now() >= nextCall) {
            meanwhile();
            nextCall = Clock::now() + std::chrono::milliseconds(50);
        }
        pollfd readable{::fileno(monitor), POLLIN, 0};
        if (::poll(&readable, 1, 20) <= 0)
            continue;
        const ssize_t bytes = ::read(readable.fd, samples.data(), samples.size() * sizeof(int16_t));
        if (bytes <= 0)
            break;
        for (ssize_t i = 0; i < bytes / 2 && !heard; ++i)
            heard = samples[i] != 0;
    }
    ::pclose(monitor);
    return heard;
}

}  // namespace velozor::testing
