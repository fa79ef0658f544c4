// Runs velozor-sim in-process and gives its trace as lines, for tests of whole games.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sound/SoundCatalogue.h"
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
    bool has(const std::string& text) const;
};

// One cycle of a channel, and the stop sequence of a game's end, a level change and help.
Calls channel(const std::string& alias, const std::string& path);
Calls stopAll();
Calls music();
// The approach file of an obstacle in `lane` (-1, 0, 1) at loudness `step`.
std::string approach(int lane, int step);
// The lane whose approach sound a call or trace line opens, or 2 when it opens none.
int approachLane(const std::string& call);
// A file a call asks for: its path after the program folder, how the call plays it and, for a
// channel, under which alias.
struct AskedFile {
    std::string path;
    PlayedAs playedAs = PlayedAs::SyncOneShot;
    std::string alias;
};
// The file a call asks for, or nothing when it asks for none (a PLAY, a CLOSE, a stop).
std::optional<AskedFile> askedFile(const std::string& call);
// The lane a steering cue names (-1, 0, 1), or 2 when the text holds none.
int laneNamed(const std::string& text);

struct SimRun {
    int status = 0;
    std::vector<std::string> lines;
    std::string errors;

    // The lines that contain `text`, in order.
    std::vector<std::string> with(const std::string& text) const;
    // The virtual time (ms) a trace line carries.
    static long timeOf(const std::string& line);
    // The handled events in order, and the ticks alone.
    std::vector<Event> events() const;
    std::vector<Event> tickEvents() const;
    std::vector<Calls> keyCalls() const;
};

// The index of the first event that is `what` ("key 112", say), or events.size() if none is.
size_t firstEvent(const std::vector<Event>& events, const std::string& what);

// A driver answers the trace in lockstep: whenever the simulator needs to read its next
// directive, the driver sees the trace so far and returns the next scenario line(s), or
// nothing for the end of input.
using Driver = std::function<std::string(const std::vector<std::string>& traceSoFar)>;
SimRun simulateWithDriver(const std::string& setup, Driver driver);
SimRun simulate(const std::string& scenario);

}  // namespace velozor::sim
