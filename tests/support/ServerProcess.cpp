// Starting a sound server's daemon with an environment and a log of its own.
#include "tests/support/ServerProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/ProgramProbe.h"

namespace velozor::testing {

pid_t startServerProcess(std::vector<std::string> args, std::vector<std::string> environment,
                         const std::filesystem::path& log, bool ownGroup) {
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

std::string logEnd(const std::filesystem::path& path) {
    const std::string all = readFile(path);
    return all.size() > 600 ? all.substr(all.size() - 600) : all;
}

}  // namespace velozor::testing
