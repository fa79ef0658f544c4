// Fuzzes the simulator's scenario reader: any bytes are read or refused with a short message,
// and every time it hands on is in order and within the longest time a scenario may give.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tests/fuzz/FuzzRequire.h"
#include "tools/sim/Scenario.h"

using velozor::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using velozor::sim::ScenarioReader;
    constexpr velozor::Micros kLongest =
        std::chrono::milliseconds(ScenarioReader::kLongestMilliseconds);
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    ScenarioReader reader(input);
    try {
        reader.readSetup();
        require(reader.until() >= velozor::Micros{0} && reader.until() <= kLongest);
        require(reader.files().defaultDuration <= kLongest);
        for (const auto& [name, duration] : reader.files().durations)
            require(duration >= velozor::Micros{0} && duration <= kLongest);
        velozor::Micros last{0};
        while (const auto directive = reader.next()) {
            require(directive->time >= last && directive->time <= kLongest);
            require(directive->keyCode >= 0 && directive->keyCode <= 255);
            last = directive->time;
        }
    } catch (const velozor::sim::ScenarioError& error) {
        // The line number, at most 80 quoted bytes (each escaped at worst to four), the reason.
        require(std::string(error.what()).size() < 600);
    }
    return 0;
}
