// What a real sound back end reports on standard error: each problem once per key (a file's
// path, usually), so a game that asks for the same broken file on every tick says so once.
#pragma once

#include <set>
#include <string>

namespace velozor {

class WarningLog {
public:
    // Writes "velozor: <message>" on standard error, unless a warning under `key` was written
    // before.
    void warnOnce(const std::string& key, const std::string& message);

private:
    std::set<std::string> warned_;
};

}  // namespace velozor
