// The spoken menu between games, heard through simulated games: reaching it by Escape,
// choosing an entry, another game and leaving the program. (A new game's first ticks are heard
// in GameTickTest's two games.)
#include <gtest/gtest.h>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// Escape on the first tick's heels: its end cue plays over the running sounds; only then
// silence and the menu, with no tick after it. The first visit is silent until Up or Down
// selects an entry, then they switch entries; Enter on "another game" starts one (left at once
// by Escape); later visits open on "another game". Enter on "leave", and Escape, end the
// program after the end cue; the key after them is never handled.
TEST(MenuKeysTest, EachKeyIsAnsweredWithItsCueAndLeavingEndsTheProgram) {
    const Calls escape = Calls{R"(snd \sonidos\fin.wav 0)", "timer off"} + stopAll() +
                         Calls{R"(snd \sonidos\introd.wav 1)"};
    const Calls another = {R"(snd \sonidos\menúOtro.wav 1)"};
    const Calls leave = {R"(snd \sonidos\menúSalir.wav 1)"};
    const Calls end = {R"(snd \sonidos\fin.wav 0)"};
    const Calls start = {R"(snd \sonidos\comenzar.wav 0)", "timer on"};
    const Calls none;
    const struct {
        std::vector<int> keys;
        std::vector<Calls> heard;
    } visits[] = {
        {{27, 13, 37, 112, 16, 65, 38, 38, 40, 13, 27, 65, 40, 13, 38},
         {escape, none, none, none, none, none, another, leave, another, start, escape, another,
          leave, end}},
        {{27, 40, 38, 27, 38}, {escape, leave, another, end}},
    };
    for (const auto& [keys, heard] : visits) {
        std::string scenario;
        for (size_t i = 0; i < keys.size(); ++i)
            scenario += "key " + std::to_string(4100 + 1100 * (i > 0) + 100 * i) + " " +
                        std::to_string(keys[i]) + "\n";
        const SimRun run = simulate(scenario);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.keyCalls(), heard) << keys.size();
        EXPECT_EQ(run.with("\ttick"), std::vector<std::string>{"4000\ttick"});
        const std::vector<Event> events = run.events();
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events.end()[-2].what, "unload");
        EXPECT_EQ(events.end()[-2].time, events.end()[-3].time + 1000);
        EXPECT_EQ(events.end()[-1].what, "exit");
    }
}

}  // namespace
}  // namespace velozor::sim
