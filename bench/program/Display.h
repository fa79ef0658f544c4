// What the benchmarks of the real program need before they start it: an X display.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace velozor::bench {

// True when DISPLAY is set; otherwise says so on standard error as `benchmark`.
inline bool haveDisplay(const char* benchmark) {
    if (std::getenv("DISPLAY") != nullptr)
        return true;
    std::fprintf(stderr, "%s: needs an X display (scripts/bench runs it under xvfb-run)\n",
                 benchmark);
    return false;
}

}  // namespace velozor::bench
