// Starting a sound server's daemon for a test or a benchmark: with an environment of its own
// (so it never finds the session's server) and its output kept in a log for the error message.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velozor::testing {

// Starts `args` (the first looked up in PATH) with exactly `environment` and PATH, its output
// and errors appended to `log`; in a process group of its own (led by it) when `ownGroup`, so
// that the daemons it starts can be stopped together. Returns the process id, or -1.
pid_t startServerProcess(std::vector<std::string> args, std::vector<std::string> environment,
                         const std::filesystem::path& log, bool ownGroup);

// The end of the log at `path`, for an error message.
std::string logEnd(const std::filesystem::path& path);

}  // namespace velozor::testing
