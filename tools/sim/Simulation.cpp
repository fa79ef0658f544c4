// Wires the simulator together: the same Form1 and event loop as the real program.
#include "tools/sim/Simulation.h"

#include "game/RandomGenerator.h"
#include "tools/sim/Scenario.h"
#include "tools/sim/ScenarioWindow.h"
#include "tools/sim/TraceWriter.h"
#include "tools/sim/TracingRandom.h"
#include "ui/EventLoop.h"
#include "ui/Form1.h"

namespace velozor::sim {

int runSimulation(std::istream& scenario, std::ostream& trace, std::ostream& errors) {
    try {
        ScenarioReader reader(scenario);
        reader.readSetup();

        VirtualClock clock;
        TraceWriter writer(trace, clock);
        RecordingPlatform platform(clock, reader.files());
        platform.setListener([&writer](const PlatformCall& call) { writer.platformCall(call); });
        RandomGenerator generator(clock);
        TracingRandom random(generator, writer);
        ScenarioWindow window(reader, clock);

        EventLoop loop(clock, window, writer);
        Form1 form(loop, platform, random, reader.files().programFolder);
        return loop.run(form);
    } catch (const ScenarioError& error) {
        trace.flush();
        errors << "velozor-sim: malformed scenario, " << error.what() << '\n';
        return 2;
    }
}

}  // namespace velozor::sim
