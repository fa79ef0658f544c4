// What the tests of a real program use to watch it from outside: polling for a condition,
// running a shell command for its output, reading a file whole.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace velozor::testing {

// Polls `ready` every 50 ms until it holds (true) or `limit` has passed (false).
bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit);

// Runs a shell command and returns its standard output; its exit status goes to `status` if
// given (-1 if the shell could not start or the command did not exit normally).
std::string commandOutput(const std::string& command, int* status = nullptr);

// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
// The text file's contents with Windows line ends (CR LF) made plain LF.
std::string readText(const std::filesystem::path& path);

}  // namespace velozor::testing
