// Runs velozor-sim in-process and gives its trace as lines, for tests of whole games.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/Simulation.h"

namespace velozor::sim {

// Calls of the trace in brief, as a test writes them: no time, no result, no short-path
// lookup, the default program folder left out: "CLOSE motor", "snd \sonidos\fin.wav 0",
// "snd NULL 0", "exec Close all", "timer off", "randomize", "rnd".
using Calls = std::vector<std::string>;
Calls operator+(Calls first, const Calls& second);

// One handled event of the trace ("load", "tick", "key 37", "close", "unload", "exit", "end")
// with the calls made while it ran.
struct Event {
    long time = 0;
    std::string what;
    Calls calls;
    // Whether some call contains `text`.
    bool has(const std::string& text) const;
};

// One cycle of a channel, and the stop sequence of a game's end, a level change and help.
Calls channel(const std::string& alias, const std::string& path);
Calls stopAll();
Calls music();
// The approach file of an obstacle in `lane` (-1, 0, 1) at loudness `step`.
std::string approach(int lane, int step, bool mono = false);
// The lane whose approach sound a call opens, or 2 when it opens none.
int approachLane(const std::string& call);

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
    // The handled events in order, and the ticks alone.
    std::vector<Event> events() const;
    std::vector<Event> tickEvents() const;
    // The uniform draws traced at `time`, in order.
    std::vector<float> drawsAt(long time) const;
};

SimRun simulate(const std::string& scenario);

// A driver answers the trace in lockstep: whenever the simulator needs to read its next
// directive, the driver sees the trace so far and returns the next scenario line(s).
using Driver = std::function<std::string(const std::vector<std::string>& traceSoFar)>;
SimRun simulateWithDriver(const std::string& setup, Driver driver);

// Answers instead of the dodging driver when it has something to do (in the menu, say): it
// sees the trace so far and the earliest time its directives may carry, and answers "-" to
// leave the turn to the dodging.
using MenuPlayer = std::function<std::string(const std::vector<std::string>& trace, long at)>;

// Plays by ear: steers out of the lane of each approaching obstacle it hears and otherwise
// lets time pass. `menu`, if given, is asked first.
Driver dodgingDriver(MenuPlayer menu = {});

// One whole game from start-up to the completion of level 3 under the dodging driver; it is
// played once and shared by the tests that look at it.
const SimRun& completedGame();

}  // namespace velozor::sim
