// What a real sound back end reports on standard error: each problem once per key (a file's
// path, usually), so a game that asks for the same broken file on every tick says so once.
#pragma once

#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

#include "base/Language.h"

namespace velozor {

class WarningLog {
public:
    // The warnings are written in `language`, the player's.
    explicit WarningLog(Language language) : language_(language) {}

    // Writes "velozor: " and the one of `spanish` and `english` in the log's language, filled
    // with `details` as inLanguage does, on standard error, unless a warning under `key` was
    // written before.
    void warnOnce(const std::string& key, std::string_view spanish, std::string_view english,
                  std::initializer_list<std::string_view> details = {});
    // The same for a `message` worded in the log's language already.
    void warnOnce(const std::string& key, const std::string& message);

    Language language() const { return language_; }

private:
    Language language_;
    std::set<std::string> warned_;
};

}  // namespace velozor
