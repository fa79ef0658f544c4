// A sound server of the test's own: PulseAudio, or PipeWire's daemons on a D-Bus session.
#include "tests/support/PulseServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "tests/support/ProgramProbe.h"

namespace velozor::testing {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kSink = "velozor_test";

namespace {

// Starts `args` (the first looked up in PATH) with exactly `environment` and PATH, so that it
// never finds the session's server, its output and errors appended to `log`; in a process group
// of its own (led by it) when `ownGroup`, so that the daemons it starts can be stopped together.
// Returns the process id, or -1.
pid_t spawn(std::vector<std::string> args, std::vector<std::string> environment,
            const fs::path& log, bool ownGroup) {
    environment.push_back(std::string("PATH=") +
                          (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"));
    std::vector<char*> argv, envp;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

bool pactlAnswers() {
    return std::system("pactl info >/dev/null 2>&1") == 0;
}

}  // namespace

PulseServer::PulseServer(fs::path folder, SoundServer server)
    : folder_(std::move(folder)), server_(server) {
    fs::create_directories(folder_ / "home");
    if (server_ == SoundServer::PipeWire) {
        // A runtime folder as a session's is: its owner's alone.
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        ::setenv("PIPEWIRE_RUNTIME_DIR", folder_.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "pulse" / "native").string()).c_str(), 1);
        ::unsetenv("PULSE_CLIENTCONFIG");
        ::unsetenv("PULSE_RUNTIME_PATH");
        ::unsetenv("PIPEWIRE_REMOTE");
        return;
    }
    fs::create_directories(folder_ / "runtime");
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
    const std::string home = "HOME=" + (folder_ / "home").string();
    if (server_ == SoundServer::PulseAudio) {
        const std::string sink = std::string("module-null-sink sink_name=") + kSink;
        const std::string socket = "module-native-protocol-unix auth-anonymous=1 socket=" +
                                   (folder_ / "runtime" / "native").string();
        // --system=false lets root run it as a user's server; -n skips the system's default.pa.
        pid_ = spawn({"pulseaudio", "-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                      "--disallow-exit", "--use-pid-file=no", "--log-target=stderr", "-L", sink,
                      "-L", socket},
                     {home, "XDG_RUNTIME_DIR=" + folder_.string(),
                      "PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string()},
                     log, false);
        if (pid_ < 0) {
            error =
                "cannot start pulseaudio (install pulseaudio and pulseaudio-utils: "
                "scripts/deps.sh lists them)";
            return false;
        }
        // A null sink renders two seconds ahead while no stream asks for less, and a stream that
        // connects meanwhile is heard only once that block is over. A reader of its monitor,
        // ending with the server, asks for 20 ms blocks from then on.
        const std::string reader = "parec --raw --latency-msec=20 -d " + std::string(kSink) +
                                   ".monitor /dev/null >/dev/null 2>&1 &";
        bool reading = false;
        return waitUntilReady(
            [&]() -> std::string {
                if (!pactlAnswers())
                    return "pulseaudio did not answer";
                reading = reading || std::system(reader.c_str()) == 0;
                const auto anything = [](const std::vector<int16_t>&) { return true; };
                return reading && sinkSounds(1.0, anything) ? "" : "its sink played nothing";
            },
            std::chrono::seconds(15), error);
    }
    // WirePlumber starts once the daemon's socket is there; all three end with the session.
    const std::string script =
        "pipewire & while [ ! -S \"$XDG_RUNTIME_DIR/pipewire-0\" ]; do sleep 0.05; done; "
        "wireplumber & pipewire-pulse & wait";
    pid_ = spawn(
        {"dbus-run-session", "--", "sh", "-c", script},
        {home, "XDG_RUNTIME_DIR=" + folder_.string(), "PIPEWIRE_RUNTIME_DIR=" + folder_.string()},
        log, true);
    if (pid_ < 0) {
        error =
            "cannot start dbus-run-session (scripts/bench installs dbus-daemon, pipewire, "
            "pipewire-pulse and wireplumber)";
        return false;
    }
    const std::string makeSink = std::string("pactl load-module module-null-sink sink_name=") +
                                 kSink + " rate=44100 channels=2 >/dev/null 2>&1 && " +
                                 "pactl set-default-sink " + kSink;
    bool sinkMade = false;
    return waitUntilReady(
        [&]() -> std::string {
            if (!sinkMade && pactlAnswers())
                sinkMade = std::system(makeSink.c_str()) == 0;
            if (!sinkMade)
                return "PipeWire's PulseAudio layer did not answer";
            // The session manager, not the PulseAudio layer, makes a sink the default: once it
            // has, it also links new streams.
            if (commandOutput("pactl get-default-sink 2>/dev/null") != kSink + std::string("\n"))
                return "WirePlumber did not make the null sink the default";
            return "";
        },
        std::chrono::seconds(15), error);
}

bool PulseServer::waitUntilReady(const std::function<std::string()>& missing,
                                 std::chrono::seconds limit, std::string& error) {
    bool ended = false;
    std::string stillMissing;
    if (waitUntil(
            [&] {
                ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
                return ended || (stillMissing = missing()).empty();
            },
            limit) &&
        !ended)
        return true;
    std::string log = readFile(folder_ / "server.log");
    log.erase(0, log.size() - std::min<std::size_t>(log.size(), 600));  // its end
    if (ended) {
        error = (server_ == SoundServer::PulseAudio ? "pulseaudio" : "the PipeWire session") +
                std::string(" ended at start: ") + log;
        pid_ = -1;
    } else {
        error = stillMissing + " within " + std::to_string(limit.count()) + " s: " + log;
        kill();
    }
    return false;
}

void PulseServer::send(int signal) {
    if (pid_ > 0)
        ::kill(server_ == SoundServer::PipeWire ? -pid_ : pid_, signal);
}

void PulseServer::kill() {
    if (pid_ <= 0)
        return;
    send(SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PulseServer::freeze() {
    send(SIGSTOP);
}

void PulseServer::thaw() {
    send(SIGCONT);
}

bool PulseServer::sinkSounds(double seconds,
                             const std::function<bool(const std::vector<int16_t>&)>& heard) {
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
    bool sounded = false;
    std::vector<int16_t> samples(4096);
    std::vector<int16_t> window;
    while (!sounded && Clock::now() < deadline) {
        pollfd readable{::fileno(monitor), POLLIN, 0};
        if (::poll(&readable, 1, 20) <= 0)
            continue;
        const ssize_t bytes = ::read(readable.fd, samples.data(), samples.size() * sizeof(int16_t));
        if (bytes <= 0)
            break;
        for (ssize_t i = 0; i < bytes / 2 && !sounded; ++i) {
            window.push_back(samples[i]);
            sounded = heard ? window.size() == 8820 && heard(window) : samples[i] != 0;
            if (window.size() == 8820)
                window.clear();
        }
    }
    ::pclose(monitor);
    return sounded;
}

}  // namespace velozor::testing
