// velozor-sim's whole run: the program's real window code on a recording sound platform and a
// virtual clock, driven by a scenario and traced call by call.
#pragma once

#include <istream>
#include <ostream>

namespace velozor::sim {

// Runs the scenario read from `scenario`, writing the trace to `trace`. Returns the exit
// status: 0 when the simulation ran, 2 (with a one-line message on `errors`) for a malformed
// scenario line.
int runSimulation(std::istream& scenario, std::ostream& trace, std::ostream& errors);

}  // namespace velozor::sim
