// A PulseAudio server of the test's own.
#include "PulseServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace velozor::testing {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kSink = "velozor_test";

std::string lastLines(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    return all.size() > 600 ? all.substr(all.size() - 600) : all;
}

}  // namespace

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
    std::vector<std::string> args = {"pulseaudio",
                                     "-n",
                                     "--daemonize=no",
                                     "--system=false",
                                     "--exit-idle-time=-1",
                                     "--disallow-exit",
                                     "--use-pid-file=no",
                                     "--log-target=stderr",
                                     "-L",
                                     sink,
                                     "-L",
                                     socket};
    std::vector<std::string> environment = {
        "HOME=" + (folder_ / "home").string(), "XDG_RUNTIME_DIR=" + folder_.string(),
        "PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string(),
        std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
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
    const int spawned =
        posix_spawnp(&pid_, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        error =
            "cannot start pulseaudio (install pulseaudio and pulseaudio-utils: scripts/deps.sh "
            "lists them)";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        if (std::system("pactl info >/dev/null 2>&1") == 0)
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "pulseaudio ended at start: " + lastLines(log);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error = "pulseaudio did not answer within 10 s: " + lastLines(log);
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
