// The spoken menu between games, heard through the simulator: choosing an entry, another game
// and leaving the program.
#include <gtest/gtest.h>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

const std::string kAnotherGame = R"(snd \sonidos\menúOtro.wav 1)";
const std::string kLeave = R"(snd \sonidos\menúSalir.wav 1)";
const std::string kStart = R"(snd \sonidos\comenzar.wav 0)";

// Escape on the first tick's heels opens the menu at 5100; `keys` follow it, 100 ms apart.
SimRun inMenu(const std::vector<int>& keys, const std::string& until = "until 30000\n") {
    std::string scenario = until + "key 4100 27\n";
    long time = 5200;
    for (int key : keys)
        scenario += "key " + std::to_string(time += 100) + " " + std::to_string(key) + "\n";
    return simulate(scenario);
}

TEST(MenuKeysTest, FirstVisitIsSilentUntilUpOrDownSelectsAnEntryThenTheySwitchEntries) {
    // Enter, Left, F1, Shift and a letter, then Up or Down, Up, Down, Down.
    for (const auto& [key, first, other] :
         {std::tuple{38, kAnotherGame, kLeave}, std::tuple{40, kLeave, kAnotherGame}}) {
        const SimRun run = inMenu({13, 37, 112, 16, 65, key, 38, 40, 40});
        std::vector<Calls> expected(5);
        for (const std::string& entry : {first, other, first, other})
            expected.push_back({entry});
        EXPECT_EQ(run.keyCalls(4100), expected) << key;
        EXPECT_TRUE(run.with("comenzar").empty());
    }
}

TEST(MenuKeysTest, LaterVisitsOpenOnAnotherGame) {
    // Down, Up, Enter: a new game; Escape from it; then a letter and Enter at once.
    const SimRun run = inMenu({40, 38, 13, 27, 65, 13});
    const std::vector<Calls> answers = run.keyCalls(4100);
    ASSERT_EQ(answers.size(), 6u);
    EXPECT_EQ(answers[4], Calls{kAnotherGame});
    EXPECT_EQ(run.with("comenzar.wav").size(), 2u);
}

// The car is moved off the first obstacle's lane before Escape; Up and Enter start a new game.
// Its carril is 0 again and its first obstacle is the one left over in the centre lane, heard
// on its last eight ticks like any other.
TEST(MenuKeysTest, NewGameHearsTheLeftoverApproachAndArriveThenSpawnsWithADodgeCue) {
    // Left pressed while the start cue plays is a driving key once it has ended.
    const SimRun run =
        simulate("until 18000\nkey 4100 37\nkey 5100 27\nkey 6200 38\nkey 6300 13\nkey 6800 37\n");
    const std::vector<Event> events = run.events();
    const size_t enter = firstEvent(events, "key 13");
    ASSERT_LT(enter + 1, events.size());
    EXPECT_EQ(events[enter].calls, (Calls{kStart, "timer on"}));
    EXPECT_EQ(events[enter + 1].what, "key 37");
    EXPECT_EQ(events[enter + 1].time, 7300);
    EXPECT_EQ(events[enter + 1].calls, Calls{R"(snd \sonidos\izquierda.wav 1)"});

    std::vector<Event> ticks = run.tickEvents();
    ASSERT_GE(ticks.size(), 3u + 13u);
    ticks.erase(ticks.begin(), ticks.begin() + 3);  // the first game's
    EXPECT_EQ(ticks[0].time, 7800);
    EXPECT_EQ(ticks[0].calls, music());
    for (size_t quiet = 1; quiet < 4; ++quiet)
        EXPECT_EQ(ticks[quiet].calls, Calls{}) << quiet;
    // Steps "6" to "0", the lane named at step "3" in level 1; the arrival plays "0" again.
    for (int step = 6; step >= 0; --step) {
        const Calls hint = step == 3 ? channel("obst", R"(\sonidos\vienecentro.wav)") : Calls{};
        EXPECT_EQ(ticks[10 - step].calls, channel("obstáculo", approach(0, step)) + hint) << step;
    }
    EXPECT_EQ(ticks[11].calls, channel("obstáculo", approach(0, 0)));
    // The leftover was dodged: the first spawn of this game, the run's second, rewards it.
    EXPECT_EQ(ticks[12].calls,
              (channel("esquivar", R"(\sonidos\esquivar.wav)") + Calls{"randomize", "rnd", "rnd"}));
}

TEST(MenuKeysTest, EnterOnLeaveAndEscapeEndTheProgramAfterTheEndCue) {
    // Down and Enter; Escape with no entry selected. The Up after them is never handled.
    for (const std::vector<int>& keys : {std::vector<int>{40, 13, 38}, std::vector<int>{27, 38}}) {
        const SimRun run = inMenu(keys, "");
        ASSERT_EQ(run.status, 0);
        const std::vector<Event> events = run.events();
        ASSERT_GE(events.size(), 3u);
        const auto last = events.end() - 3;
        EXPECT_EQ(last->what, "key " + std::to_string(keys[keys.size() - 2]));
        EXPECT_EQ(last->calls, Calls{R"(snd \sonidos\fin.wav 0)"});
        EXPECT_EQ((last + 1)->what, "unload");
        EXPECT_EQ((last + 1)->time, last->time + 1000);
        EXPECT_EQ((last + 2)->what, "exit");
    }
}

}  // namespace
}  // namespace velozor::sim
