// Parsing of the simulator's scenario.
#include "tools/sim/Scenario.h"

#include <charconv>
#include <limits>
#include <utility>

namespace velozor::sim {

namespace {

std::string trim(const std::string& text) {
    const char* blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Splits off the first blank-separated word of `text`; `rest` is what follows it, trimmed.
std::string firstWord(const std::string& text, std::string& rest) {
    const size_t end = text.find_first_of(" \t");
    if (end == std::string::npos) {
        rest.clear();
        return text;
    }
    rest = trim(text.substr(end));
    return text.substr(0, end);
}

// Digits only: no sign, not even "-0". A number too large for int64_t comes back as its
// largest value, so that it is refused as too long rather than as not a number.
std::optional<int64_t> wholeNumber(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || at != end)
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        return std::numeric_limits<int64_t>::max();
    if (error != std::errc())
        return std::nullopt;
    return value;
}

// The length of the UTF-8 sequence of a printable character (U+00A0 and above) that starts at
// `text[at]`, or 0 when the bytes there are not one.
size_t printableSequence(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4
                          : lead >= 0xE0               ? 3
                          : lead >= 0xC2               ? 2
                                                       : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    // U+0080 to U+009F are control characters too (C2 80 to C2 9F).
    if (lead == 0xC2 && byte(at + 1) < 0xA0)
        return 0;
    return length;
}

// At most `limit` bytes of `line` in double quotes, with "..." when cut; control characters and
// bytes that are not UTF-8 appear as \xNN, so a message never sends a terminal a raw control.
std::string quoted(const std::string& line, size_t limit) {
    const std::string shown = line.substr(0, limit);
    std::string text = "\"";
    for (size_t at = 0; at < shown.size();) {
        const auto c = static_cast<unsigned char>(shown[at]);
        if (c >= 0x20 && c < 0x7F) {
            text += shown[at++];
        } else if (const size_t length = c >= 0x80 ? printableSequence(shown, at) : 0) {
            text += shown.substr(at, length);
            at += length;
        } else {
            static const char digits[] = "0123456789abcdef";
            text += {'\\', 'x', digits[c >> 4], digits[c & 15]};
            ++at;
        }
    }
    text += line.size() > limit ? "\"..." : "\"";
    return text;
}

}  // namespace

void ScenarioReader::fail(const std::string& what) const {
    throw ScenarioError("line " + std::to_string(lineNumber_) + " " + quoted(line_, kQuotedBytes) +
                        ": " + what);
}

Micros ScenarioReader::milliseconds(int64_t ms) const {
    if (ms > kLongestMilliseconds) {
        fail(std::to_string(ms) + " ms is longer than a scenario may give: at most " +
             std::to_string(kLongestMilliseconds) + " ms (four years)");
    }
    return std::chrono::milliseconds(ms);
}

bool ScenarioReader::readDirectiveLine() {
    std::string line;
    while (std::getline(input_, line)) {
        ++lineNumber_;
        line_ = line;
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        line = trim(line);
        if (line.empty())
            continue;
        word_ = firstWord(line, rest_);
        return true;
    }
    return false;
}

void ScenarioReader::readSetup() {
    while (readDirectiveLine()) {
        if (!parseSetup(word_, rest_)) {
            // The first timed directive, checked now (it was read now) and kept for next().
            firstTimed_ = parseTimed(word_, rest_);
            return;
        }
    }
}

bool ScenarioReader::parseSetup(const std::string& word, const std::string& rest) {
    std::string name;
    if (word == "folder") {
        if (rest.empty())
            fail("'folder' needs a path: folder PATH");
        files_.programFolder = rest;
    } else if (word == "default-duration") {
        const auto ms = wholeNumber(rest);
        if (!ms)
            fail("'default-duration' needs whole milliseconds: default-duration MS");
        files_.defaultDuration = milliseconds(*ms);
    } else if (word == "duration") {
        const auto ms = wholeNumber(firstWord(rest, name));
        if (!ms || name.empty())
            fail("'duration' needs milliseconds and a name: duration MS NAME");
        files_.durations[name] = milliseconds(*ms);
    } else if (word == "missing") {
        if (rest.empty())
            fail("'missing' needs a name: missing NAME");
        files_.missing.insert(rest);
    } else if (word == "until") {
        const auto ms = wholeNumber(rest);
        if (!ms)
            fail("'until' needs a time in whole milliseconds: until T");
        until_ = milliseconds(*ms);
    } else {
        return false;
    }
    return true;
}

TimedDirective ScenarioReader::parseTimed(const std::string& word, const std::string& rest) {
    TimedDirective directive;
    std::string arguments;
    const auto time = wholeNumber(firstWord(rest, arguments));
    if (word == "key") {
        directive.kind = TimedDirective::Kind::Key;
        std::string extra;
        const auto code = wholeNumber(firstWord(arguments, extra));
        if (!time || !code || *code > 255 || !extra.empty()) {
            fail("'key' needs a time and a virtual-key code from 0 to 255: key T VK");
        }
        directive.keyCode = static_cast<int16_t>(*code);
    } else if (word == "close" || word == "wait") {
        directive.kind = word == "close" ? TimedDirective::Kind::Close : TimedDirective::Kind::Wait;
        if (!time || !arguments.empty())
            fail("'" + word + "' needs one time: " + word + " T");
    } else if (word == "folder" || word == "default-duration" || word == "duration" ||
               word == "missing" || word == "until") {
        fail("'" + word + "' is a set-up directive and must come before the first timed one");
    } else {
        fail(
            "unknown directive (expected folder, default-duration, duration, missing, until, key, "
            "close or wait)");
    }
    directive.time = milliseconds(*time);
    if (directive.time < lastTime_) {
        fail("time " + std::to_string(*time) + " is before the previous directive's " +
             std::to_string(
                 std::chrono::duration_cast<std::chrono::milliseconds>(lastTime_).count()));
    }
    lastTime_ = directive.time;
    return directive;
}

std::optional<TimedDirective> ScenarioReader::next() {
    if (firstTimed_)
        return std::exchange(firstTimed_, std::nullopt);
    if (!readDirectiveLine())
        return std::nullopt;
    return parseTimed(word_, rest_);
}

}  // namespace velozor::sim
