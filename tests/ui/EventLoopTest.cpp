// Timer1's schedule as the event loop keeps it, through whole simulated runs.
#include <gtest/gtest.h>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// The window, and with it Timer1's grid, is created at 0. The introduction's four
// synchronous parts hold the loop until 4100 ms, between the grid points 4000 and 4500.
TEST(EventLoopTest, ASynchronousSoundEndingBetweenGridPointsFoldsTheMissedTicksAndKeepsTheGrid) {
    const SimRun run = simulate("duration 1100 \\sonidos\\intro\\arch 1.wav\nuntil 5600\n");
    ASSERT_EQ(run.status, 0);
    // Every deadline missed during the introduction is one tick as soon as it ends; the next
    // come on the grid, not a whole interval after the late one.
    EXPECT_EQ(run.ticks(), (std::vector<long>{4100, 4500, 5000, 5500}));
}

}  // namespace
}  // namespace velozor::sim
