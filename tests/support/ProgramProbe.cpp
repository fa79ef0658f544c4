// Polling, shell output and whole-file reads for the program tests.
#include "tests/support/ProgramProbe.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace velozor::testing {

bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string commandOutput(const std::string& command, int* status) {
    std::string text;
    int ended = -1;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t count;
        while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, count);
        const int result = pclose(pipe);
        ended = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    if (status != nullptr)
        *status = ended;
    return text;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string readText(const std::filesystem::path& path) {
    std::string text = readFile(path);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

}  // namespace velozor::testing
