// The simulator's scenario: set-up directives, then timed input, read line by line on demand
// so that a driver program can answer the trace as it is written.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>

#include "sound/recording/RecordingPlatform.h"

namespace velozor::sim {

// A malformed scenario line; what() names the line number and what is wrong with it.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TimedDirective {
    enum class Kind { Key, Close, Wait };
    Kind kind = Kind::Wait;
    Micros time{0};
    int16_t keyCode = 0;  // Key only
};

class ScenarioReader {
public:
    static constexpr Micros kDefaultUntil = std::chrono::milliseconds(3600000);
    // The longest time or duration a scenario may give, in whole milliseconds: four years. A
    // run adds a handful of them on the virtual clock, which then stays far inside Micros'
    // range; larger values are malformed lines.
    static constexpr int64_t kLongestMilliseconds = int64_t{4} * 365 * 24 * 3600 * 1000;
    // How much of a malformed line its error message quotes, in bytes.
    static constexpr size_t kQuotedBytes = 80;

    explicit ScenarioReader(std::istream& input) : input_(input) {}

    // Reads every set-up directive (up to the first timed one, which is kept for next()).
    // Throws ScenarioError.
    void readSetup();
    const RecordedFiles& files() const { return files_; }
    Micros until() const { return until_; }

    // The next timed directive, or nullopt at the end of the input. Throws ScenarioError.
    std::optional<TimedDirective> next();

private:
    // Reads lines until one holds a directive; false at the end of the input.
    bool readDirectiveLine();
    [[noreturn]] void fail(const std::string& what) const;
    // `ms` as a time on the virtual clock; fails for one beyond kLongestMilliseconds.
    Micros milliseconds(int64_t ms) const;
    bool parseSetup(const std::string& word, const std::string& rest);
    TimedDirective parseTimed(const std::string& word, const std::string& rest);

    std::istream& input_;
    int64_t lineNumber_ = 0;
    std::string line_;                          // the current line as read, for messages
    std::string word_;                          // the current line's directive
    std::string rest_;                          // and everything after it
    std::optional<TimedDirective> firstTimed_;  // read by readSetup, not yet taken
    RecordedFiles files_;
    Micros until_ = kDefaultUntil;
    Micros lastTime_{0};
};

}  // namespace velozor::sim
