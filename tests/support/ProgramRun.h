// A program started by a test or a benchmark and watched from outside on the X display they run
// under (xvfb-run): its standard error, its windows, keys and a close request sent to it, and
// its exit status. The SDL program, the packaged one and velozor.exe under Wine alike.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ProgramProbe.h"

struct _XDisplay;  // Xlib's Display, without its macros (None, Bool, Status) that break gtest

namespace velozor::testing {

// How many samples of a raw signed 16-bit recording (SDL's disk audio driver) are louder than
// `threshold`, a sound rather than silence or dither.
std::size_t loudSamples(const std::string& recordingPath, int threshold = 1000);

struct ProgramLaunch {
    std::vector<std::string> command;      // the program (looked up in PATH) and its arguments
    std::vector<std::string> environment;  // "NAME=value", added to this process's own
    std::filesystem::path folder;          // where it starts; empty: this process's folder
    std::filesystem::path errorFile;       // its standard error (its output goes nowhere)
    std::filesystem::path traceFile;       // where it traces, if not to its standard error
};

// Whose windows a search finds: the started process's own, or any (Wine's "start" hands the
// program to another process).
enum class WindowOf { ThisProcess, AnyProcess };

class ProgramRun {
public:
    ProgramRun() = default;
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();  // kills the program if it still runs

    // Starts the program; false with `error` saying why it could not.
    bool launch(const ProgramLaunch& launch, std::string& error);

    // The SDL program: launches `program` with LC_ALL=C.UTF-8 (the game in Spanish, whatever
    // the tests run under), then `environment` and VELOZOR_TRACE=1 added, its trace into
    // `tracePath`, and waits for its window named exactly "Velozor". Returns false with `error`
    // saying what was missing, the trace included.
    bool start(const std::string& program, std::vector<std::string> environment,
               const std::string& tracePath, std::string& error);

    pid_t pid() const { return pid_; }

    // The trace so far (the standard error unless traced to a file of its own), Windows line
    // ends made plain.
    std::string trace() const { return readText(traceFile_); }
    bool traced(const std::string& line, std::size_t from = 0) const {
        return trace().find(line, from) != std::string::npos;
    }
    // Whether `line` appears in the trace from byte `from` on, within `limit`.
    bool waitForTraced(const std::string& line, std::chrono::milliseconds limit,
                       std::size_t from = 0) const;

    // The id of a visible window named exactly `caption`, waiting up to `limit` for it; empty
    // if none came. The first one found by start() is window().
    std::string waitForWindow(const std::string& caption, std::chrono::milliseconds limit,
                              WindowOf owner = WindowOf::ThisProcess) const;
    const std::string& window() const { return window_; }

    // Sends `key` (an xdotool key name) until `line` appears in the trace or `limit` passes:
    // keys sent before the window holds the keyboard focus are lost.
    bool pressUntilTraced(const std::string& key, const std::string& line,
                          std::chrono::milliseconds limit);

    // What a window manager sends when the user closes the window: WM_DELETE_WINDOW.
    void requestClose();

    // The exit status (128 + the signal when killed by one), or -1 if the process has not
    // ended within `limit`.
    int exitStatus(std::chrono::milliseconds limit);

private:
    _XDisplay* display();

    _XDisplay* display_ = nullptr;
    pid_t pid_ = -1;
    std::filesystem::path traceFile_;
    std::string window_;
};

// The visible windows whose name matches `pattern` (a regular expression), of the process `pid`
// or of any.
std::vector<std::string> windowsNamed(const std::string& pattern, pid_t pid = -1);

// Sends `key` (an xdotool key name) to `window`, or to the focused window when empty; false
// when xdotool failed.
bool pressKey(const std::string& key, const std::string& window = "");

}  // namespace velozor::testing
