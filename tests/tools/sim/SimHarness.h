// Runs velozor-sim in-process and gives its trace as lines, for tests of whole games.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/Simulation.h"

namespace velozor::sim {

struct SimRun {
    int status = 0;
    std::vector<std::string> lines;
    std::string errors;

    // The lines that contain `text`, in order.
    std::vector<std::string> with(const std::string& text) const;
    // The virtual time (ms) a trace line carries.
    static long timeOf(const std::string& line);
    // Lines from the first one at time `from` through the last one at time `to`.
    std::vector<std::string> between(long from, long to) const;
    // The times of the "tick" lines.
    std::vector<long> ticks() const;
};

SimRun simulate(const std::string& scenario);

// A driver answers the trace in lockstep: whenever the simulator needs to read its next
// directive, the driver sees the trace so far and returns the next scenario line(s).
using Driver = std::function<std::string(const std::vector<std::string>& traceSoFar)>;
SimRun simulateWithDriver(const std::string& setup, Driver driver);

// Plays by ear: steers out of the lane of each approaching obstacle it hears and otherwise
// lets time pass. `menu`, if given, is asked first; its answer is used unless it is "-".
Driver dodgingDriver(Driver menu = {});

}  // namespace velozor::sim
