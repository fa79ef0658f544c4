// velozor-bench-idle: the processor time the real program takes while it waits in the menu,
// playing through a PulseAudio server of the benchmark's own (null sink). Prints the figure
// and exits 1 when it misses its bound.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PulseServer.h"

#include "Display.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kSettle = 10s;  // the shortened introduction is over well within this
constexpr auto kMeasured = 60s;
constexpr double kBoundPercent = 0.3;

// utime + stime of `pid` in seconds, from /proc; negative once the process is gone.
double processorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');  // the command name may hold spaces
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int index = 3; fields >> field; ++index) {  // field 3 is the state
        if (index == 14)
            utime = std::stoll(field);
        if (index == 15) {
            stime = std::stoll(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

}  // namespace

int main() {
    if (!velozor::bench::haveDisplay("velozor-bench-idle"))
        return 1;
    const fs::path root =
        fs::temp_directory_path() / ("velozor-bench-idle-" + std::to_string(::getpid()));
    // The program beside a copy of its sound folder whose four introduction files are a short
    // spoken one, so the menu comes within seconds instead of forty.
    const fs::path program = root / "velozor";
    fs::create_directories(root);
    fs::copy_file(VELOZOR_PROGRAM, program);
    fs::copy(VELOZOR_SOUND_FOLDER, root / "sonidos", fs::copy_options::recursive);
    for (int part = 1; part <= 4; ++part) {
        fs::copy_file(root / "sonidos" / "fin.wav",
                      root / "sonidos" / "intro" / ("arch " + std::to_string(part) + ".wav"),
                      fs::copy_options::overwrite_existing);
    }

    velozor::testing::PulseServer server(root / "pulse");
    std::string error;
    if (!server.start(error)) {
        std::fprintf(stderr, "velozor-bench-idle: %s\n", error.c_str());
        return 1;
    }
    ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    std::string name = program.string();
    char* argv[] = {name.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, name.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "velozor-bench-idle: cannot start %s\n", name.c_str());
        return 1;
    }
    std::this_thread::sleep_for(kSettle);
    const double before = processorSeconds(pid);
    std::this_thread::sleep_for(kMeasured);
    const double after = processorSeconds(pid);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    server.kill();
    fs::remove_all(root);
    if (before < 0 || after < 0) {
        std::printf("the program ended before the measurement did\n");
        return 1;
    }
    const double percent =
        (after - before) / std::chrono::duration<double>(kMeasured).count() * 100;
    std::printf(
        "idle in the menu through PulseAudio (null sink), 60 s: %.2f%% of one core "
        "(utime + stime; bound %.1f%%)\n",
        percent, kBoundPercent);
    return percent <= kBoundPercent ? 0 : 1;
}
