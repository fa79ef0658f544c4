// A velozor program started by a test on the X display the tests run under (xvfb-run): its
// trace, its window, keys and a close request sent to it, and its exit status.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ProgramProbe.h"

struct _XDisplay;  // Xlib's Display, without its macros (None, Bool, Status) that break gtest

namespace velozor::testing {

// How many samples of a raw signed 16-bit recording (SDL's disk audio driver) are louder than
// `threshold`, a sound rather than silence or dither.
std::size_t loudSamples(const std::string& recordingPath, int threshold = 1000);

class ProgramRun {
public:
    ProgramRun() = default;
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();  // kills the program if it still runs

    // Starts `program` with LC_ALL=C.UTF-8 (the game in Spanish, whatever the tests run under),
    // then `environment` ("NAME=value") and VELOZOR_TRACE=1 added, its
    // standard error into `tracePath`, and waits for its window named exactly "Velozor".
    // Returns false with `error` saying what was missing, the trace included.
    bool start(const std::string& program, std::vector<std::string> environment,
               const std::string& tracePath, std::string& error);

    std::string trace() const { return readFile(tracePath_); }
    bool traced(const std::string& line) const { return trace().find(line) != std::string::npos; }
    const std::string& window() const { return window_; }

    // Sends `key` (an xdotool key name) until `line` appears in the trace or `limit` passes:
    // keys sent before the window holds the keyboard focus are lost.
    bool pressUntilTraced(const std::string& key, const std::string& line,
                          std::chrono::milliseconds limit);

    // Sends the signal `number` (SIGTERM, SIGINT, ...) to the program.
    void signal(int number);

    // What a window manager sends when the user closes the window: WM_DELETE_WINDOW.
    void requestClose();

    // The sizes of the square images in the window's _NET_WM_ICON.
    std::set<unsigned long> iconSizes();

    // The exit status, or -1 if the process has not ended within `limit`.
    int exitStatus(std::chrono::milliseconds limit);

private:
    _XDisplay* display_ = nullptr;
    pid_t pid_ = -1;
    std::string tracePath_;
    std::string window_;
};

}  // namespace velozor::testing
