// The spoken menu between games, heard through the simulator: choosing an entry, another game
// and leaving the program.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.h"

namespace velozor::sim {
namespace {

const std::string kAnotherGame = R"(snd \sonidos\menúOtro.wav 1)";
const std::string kLeave = R"(snd \sonidos\menúSalir.wav 1)";
const std::string kStart = R"(snd \sonidos\comenzar.wav 0)";

// Escape on the first tick's heels opens the menu at 5100; `keys` follow it, 100 ms apart.
SimRun inMenu(const std::vector<int>& keys, const std::string& until = "until 30000\n") {
    std::string scenario = until + "key 4100 27\n";
    long time = 5200;
    for (int key : keys) {
        scenario += "key " + std::to_string(time += 100) + " " + std::to_string(key) + "\n";
    }
    return simulate(scenario);
}

// The calls of each key handled in the menu, after the Escape that opened it.
std::vector<Calls> menuAnswers(const SimRun& run) {
    std::vector<Calls> answers;
    for (const Event& event : run.events()) {
        if (event.what.rfind("key", 0) == 0 && event.time > 4100)
            answers.push_back(event.calls);
    }
    return answers;
}

TEST(MenuKeysTest, FirstVisitIsSilentUntilUpOrDownSelectsAnEntry) {
    // Enter, Left, F1, Shift and a letter, then Up or Down.
    for (const auto& [key, announcement] : {std::pair{38, kAnotherGame}, std::pair{40, kLeave}}) {
        const SimRun run = inMenu({13, 37, 112, 16, 65, key});
        const std::vector<Calls> answers = menuAnswers(run);
        ASSERT_EQ(answers.size(), 6u);
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(answers[i], Calls{}) << key << " " << i;
        EXPECT_EQ(answers[5], Calls{announcement}) << key;
        EXPECT_TRUE(run.with("comenzar").empty());
    }
}

TEST(MenuKeysTest, UpAndDownSwitchBetweenTheEntriesAndOtherKeysRepeatTheSelectedOne) {
    const SimRun run = inMenu({40, 38, 38, 38, 40, 40, 16, 112, 37});
    const std::vector<Calls> expected = {{kLeave},       {kAnotherGame}, {kLeave},
                                         {kAnotherGame}, {kLeave},       {kAnotherGame},
                                         {kAnotherGame}, {kAnotherGame}, {kAnotherGame}};
    EXPECT_EQ(menuAnswers(run), expected);
}

TEST(MenuKeysTest, LaterVisitsOpenOnAnotherGame) {
    // Down, Up, Enter: a new game; Escape from it; then a letter and Enter at once.
    const SimRun run = inMenu({40, 38, 13, 27, 65, 13});
    const std::vector<Calls> answers = menuAnswers(run);
    ASSERT_EQ(answers.size(), 6u);
    EXPECT_EQ(answers[4], Calls{kAnotherGame});
    EXPECT_EQ(answers[5], (Calls{kStart, "timer on"}));
    EXPECT_EQ(run.with("comenzar.wav").size(), 2u);
}

// The car is moved off the first obstacle's lane before Escape; Up and Enter start a new game.
// Its carril is 0 again and its first obstacle is the one left over in the centre lane.
class NewGameTest : public ::testing::Test {
protected:
    static SimRun newGame(const std::string& more) {
        return simulate("until 18000\nkey 4100 37\nkey 5100 27\nkey 6200 38\nkey 6300 13\n" + more);
    }
    // The new game's ticks, from its first.
    static std::vector<Event> ticksOf(const SimRun& run) {
        std::vector<Event> ticks = run.tickEvents();
        ticks.erase(ticks.begin(), std::find_if(ticks.begin(), ticks.end(), [](const Event& tick) {
                        return tick.time > 6300;
                    }));
        return ticks;
    }
};

TEST_F(NewGameTest, LeftoverObstacleArrivesOnTickTwelveAndTheFirstSpawnComesOnTickThirteen) {
    // Left pressed while the start cue plays is a driving key once it has ended.
    const SimRun run = newGame("key 6800 37\n");
    const std::vector<Event> events = run.events();
    const auto enter = std::find_if(events.begin(), events.end(),
                                    [](const Event& event) { return event.what == "key 13"; });
    ASSERT_LT(enter + 1, events.end());
    EXPECT_EQ(enter->calls, (Calls{kStart, "timer on"}));
    EXPECT_EQ((enter + 1)->what, "key 37");
    EXPECT_EQ((enter + 1)->time, 7300);
    EXPECT_EQ((enter + 1)->calls, Calls{R"(snd \sonidos\izquierda.wav 1)"});

    const std::vector<Event> ticks = ticksOf(run);
    ASSERT_GE(ticks.size(), 13u);
    EXPECT_EQ(ticks[0].time, 7800);
    for (size_t tick = 1; tick <= 13; ++tick) {
        Calls expected = tick == 1 ? music() : Calls{};
        if (tick >= 5 && tick <= 12) {
            const int step = std::max(0, 11 - static_cast<int>(tick));
            expected = expected + channel("obstáculo", approach(0, step));
        }
        if (tick == 8)
            expected = expected + channel("obst", R"(\sonidos\vienecentro.wav)");
        // The leftover was dodged: the first spawn of this game, the run's second, rewards it.
        if (tick == 13) {
            expected =
                channel("esquivar", R"(\sonidos\esquivar.wav)") + Calls{"randomize", "rnd", "rnd"};
        }
        EXPECT_EQ(ticks[tick - 1].calls, expected) << "tick " << tick;
    }
}

TEST_F(NewGameTest, LeftoverObstacleHitsACarLeftInTheCentreAndEarnsNoDodgeCue) {
    const std::vector<Event> ticks = ticksOf(newGame(""));
    ASSERT_GE(ticks.size(), 13u);
    EXPECT_TRUE(ticks[11].has(R"(snd \sonidos\chocaste.wav 0)"));
    EXPECT_EQ(ticks[12].calls, (Calls{"randomize", "rnd", "rnd"}));
}

TEST(MenuKeysTest, EnterOnLeaveAndEscapeEndTheProgramAfterTheEndCue) {
    Calls unload = stopAll();
    unload.insert(unload.end() - 1, "CLOSE finestereo");
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
        EXPECT_EQ((last + 1)->calls, unload);
        EXPECT_EQ((last + 2)->what, "exit");
        EXPECT_EQ((last + 2)->calls, Calls{});
    }
}

}  // namespace
}  // namespace velozor::sim
