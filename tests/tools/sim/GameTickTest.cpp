// The game's tick heard through the simulator: crashes and lives, the end of a game, levels,
// the "finestereo" cue, the engine loop and a whole game to the end of level 3.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.h"

namespace velozor::sim {
namespace {

// The calls of `event` from the first one equal to `first` to the end of the event.
Calls callsFrom(const Event& event, const std::string& first) {
    const auto at = std::find(event.calls.begin(), event.calls.end(), first);
    return Calls(at, event.calls.end());
}

std::vector<size_t> ticksWith(const std::vector<Event>& ticks, const std::string& text) {
    std::vector<size_t> found;
    for (size_t i = 0; i < ticks.size(); ++i) {
        if (ticks[i].has(text))
            found.push_back(i);
    }
    return found;
}

const std::string kCrashCue = R"(snd \sonidos\chocaste.wav 0)";
const std::string kMenuOpening = R"(snd \sonidos\introd.wav 1)";

// With the car left in the centre, the first obstacle, spawned in the player's lane, hits it.
TEST(GameTickTest, CrashComesOnTheTickThatAdvancesTheCounterToTheArrival) {
    const SimRun run = simulate("until 20000\n");
    const std::vector<Event> ticks = run.tickEvents();
    // Step "0" first plays one tick before the arrival.
    const std::vector<size_t> nearest = ticksWith(ticks, "obstacle10.wav");
    ASSERT_FALSE(nearest.empty());
    const size_t arrival = nearest[0] + 1;
    ASSERT_LT(arrival + 1, ticks.size());
    const Calls crashThenStepZero = Calls{"timer off", kCrashCue} +
                                    channel("vidas", R"(\sonidos\dosVidas.wav)") +
                                    Calls{"timer on"} + channel("obstáculo", approach(0, 0));
    EXPECT_EQ(ticks[arrival].calls, crashThenStepZero);
    // The crash cue plays in full first; play resumes a full interval after it.
    const long crash = ticks[arrival].time;
    EXPECT_EQ(SimRun::timeOf(run.with("ALIAS vidas").at(0)), crash + 1000);
    EXPECT_EQ(ticks[arrival + 1].time, crash + 1500);
    // The obstacle that was hit earns no dodge cue at the next spawn.
    EXPECT_TRUE(ticks[arrival + 1].has("rnd"));
    EXPECT_FALSE(ticks[arrival + 1].has("esquivar"));
}

TEST(GameTickTest, LaneChangeBeforeTheArrivalTickAvoidsTheCrashOneDuringTheCrashCueIsTooLate) {
    const std::vector<Event> ticks = simulate("until 20000\n").tickEvents();
    const std::vector<size_t> crashes = ticksWith(ticks, kCrashCue);
    ASSERT_EQ(crashes.size(), 1u);
    const long crash = ticks[crashes[0]].time;

    // A key arriving with the due tick is handled before it.
    const SimRun before = simulate("until 20000\nkey " + std::to_string(crash) + " 37\n");
    EXPECT_TRUE(before.with("chocaste").empty());
    const std::vector<Event> dodged = before.tickEvents();
    EXPECT_TRUE(dodged[crashes[0] + 1].has("esquivar"));

    // A key pressed while the crash cue plays waits for the tick to end.
    const SimRun during = simulate("until 20000\nkey " + std::to_string(crash + 500) + " 37\n");
    const std::vector<Event> events = during.events();
    const auto hit = std::find_if(events.begin(), events.end(),
                                  [](const Event& event) { return event.has(kCrashCue); });
    ASSERT_NE(hit, events.end());
    ASSERT_NE(hit + 1, events.end());
    EXPECT_EQ(hit->time, crash);
    EXPECT_EQ((hit + 1)->what, "key 37");
    EXPECT_EQ((hit + 1)->time, crash + 1000);
}

TEST(GameTickTest, ThirdCrashEndsTheGameInSilenceThenOpensTheMenu) {
    // Odd spawns come in the player's lane: a car that never moves is hit three times.
    const SimRun run = simulate("until 200000\n");
    const std::vector<Event> ticks = run.tickEvents();
    const std::vector<size_t> crashes = ticksWith(ticks, kCrashCue);
    ASSERT_EQ(crashes.size(), 3u);
    EXPECT_TRUE(ticks[crashes[0]].has("dosVidas.wav"));
    EXPECT_TRUE(ticks[crashes[1]].has("unaVida.wav"));
    EXPECT_TRUE(ticks[crashes[1]].has("ALIAS obstáculo"));
    // The last crash: no lives cue, the farewell over the running sounds, silence, the menu,
    // and neither the scheduler on that tick nor any tick after it.
    const Event& last = ticks.back();
    EXPECT_EQ(crashes[2], ticks.size() - 1);
    const Calls gameOver = Calls{"timer off", kCrashCue, "CLOSE vidas",
                                 R"(snd \sonidos\despedida.wav 0)", "timer off"} +
                           stopAll() + Calls{kMenuOpening};
    EXPECT_EQ(callsFrom(last, "timer off"), gameOver);
    EXPECT_EQ(SimRun::timeOf(run.with("despedida.wav").at(0)), last.time + 1000);
    EXPECT_EQ(SimRun::timeOf(run.with("introd.wav").at(0)), last.time + 2000);
    EXPECT_EQ(run.lines.back(), "200000\tend");
}

TEST(GameTickTest, EngineRestartsOnEveryTwentyFifthTickOfTheProgramsLife) {
    // Help, a crash, Escape and a new game in between: only ticks count.
    const SimRun run =
        simulate("until 80000\nkey 6200 112\nkey 20000 27\nkey 21500 38\nkey 22000 13\n");
    const std::vector<Event> ticks = run.tickEvents();
    ASSERT_EQ(run.with("comenzar.wav").size(), 1u);
    ASSERT_GT(ticks.size(), 51u);
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].has("ALIAS motor"), i % 25 == 0) << "tick " << i + 1;
    }
    // The new game's first tick starts the music again, but not the engine.
    const auto firstOfNewGame = std::find_if(ticks.begin(), ticks.end(),
                                             [](const Event& tick) { return tick.time > 22000; });
    EXPECT_EQ(firstOfNewGame->calls, music());
}

TEST(GameTickTest, FinestereoGivenInTheLevelAGameEndedInIsNotGivenInTheNextGamesLevelOne) {
    // Leave the first game by Escape once the cue is heard, start another and play it into
    // level 2 until the cue comes again.
    int stage = 0;
    size_t heard = 0;
    const SimRun run = simulateWithDriver(
        "until 1000000\n",
        dodgingDriver([&](const std::vector<std::string>& trace, long at) -> std::string {
            const std::string now = std::to_string(at);
            for (; heard < trace.size(); ++heard) {
                const std::string& line = trace[heard];
                const bool cue = line.find("PLAY finestereo") != std::string::npos;
                if ((stage == 0 || stage == 3) && cue)
                    ++stage;
                if (stage == 2 && line.find("nivel2.wav") != std::string::npos)
                    ++stage;
            }
            if (stage == 1 && trace.back().find("introd.wav") == std::string::npos) {
                return "key " + now + " 27\n";
            }
            if (stage == 1) {
                ++stage;
                return "key " + now + " 38\nkey " + now + " 13\n";
            }
            return stage == 4 ? "close " + now + "\n" : "-";
        }));
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string> cues = run.with("PLAY finestereo");
    ASSERT_EQ(cues.size(), 2u);
    const long escape = SimRun::timeOf(run.with("key\t27").at(0));
    const long secondLevel = SimRun::timeOf(run.with("nivel2.wav").at(0));
    EXPECT_LT(SimRun::timeOf(cues[0]), escape);
    EXPECT_GT(SimRun::timeOf(cues[1]), secondLevel);
    EXPECT_EQ(run.with("comenzar.wav").size(), 1u);
}

// The levels of the completed game: each tick index is counted from the game's first tick.
class CompletedGameTest : public ::testing::Test {
protected:
    const SimRun& run = completedGame();
    const std::vector<Event> ticks = run.tickEvents();
    const std::vector<size_t> spawns = ticksWith(ticks, "rnd");
    const std::vector<size_t> levelCues = {ticksWith(ticks, "nivel2.wav").at(0),
                                           ticksWith(ticks, "nivel3.wav").at(0),
                                           ticksWith(ticks, "finpuntos.wav").at(0)};
};

TEST_F(CompletedGameTest, EachLevelEndsTwoTicksAfterItsFourteenthObstacleArrives) {
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.with("chocaste").empty());
    ASSERT_EQ(spawns.size(), 45u);
    for (size_t level = 0; level < 3; ++level) {
        // The fifteenth spawn comes on the tick after the fourteenth obstacle's arrival.
        EXPECT_EQ(spawns[15 * level + 14], levelCues[level] - 1) << level + 1;
        // That arrival is the tick that plays step "0" for the second time.
        const std::string nearest = "0.wav TYPE waveaudio ALIAS obstáculo";
        EXPECT_TRUE(ticks[levelCues[level] - 2].has(nearest)) << level + 1;
        EXPECT_TRUE(ticks[levelCues[level] - 3].has(nearest)) << level + 1;
    }
    for (size_t level : {0, 1}) {
        const std::string cue = level == 0 ? R"(\sonidos\nivel2.wav)" : R"(\sonidos\nivel3.wav)";
        const Calls levelChange =
            Calls{"timer off"} + stopAll() + Calls{"snd " + cue + " 0", "timer on"};
        EXPECT_EQ(callsFrom(ticks[levelCues[level]], "timer off"), levelChange);
        EXPECT_EQ(ticks[levelCues[level] + 1].time, ticks[levelCues[level]].time + 1500);
        EXPECT_EQ(Calls(ticks[levelCues[level] + 1].calls.begin(),
                        ticks[levelCues[level] + 1].calls.begin() + 2),
                  music());
    }
    // Completion: the cue over the running sounds with the timer on, then the menu; no tick after.
    EXPECT_EQ(levelCues[2], ticks.size() - 1);
    const std::string completion = R"(snd \sonidos\finpuntos.wav 0)";
    const Calls toMenu = Calls{completion, "timer off"} + stopAll() + Calls{kMenuOpening};
    EXPECT_EQ(callsFrom(ticks.back(), completion), toMenu);
    EXPECT_FALSE(ticks.back().has("timer on"));
}

TEST_F(CompletedGameTest, FifteenthObstacleIsHeardUnderTheNextLevel) {
    // Level 1 alone names the lane, on the step "3" tick of each of its first fourteen.
    const char* hintOf[] = {"vieneizquierda", "vienecentro", "vienederecha"};
    const std::vector<size_t> hinted = ticksWith(ticks, "viene");
    ASSERT_EQ(hinted.size(), 14u);
    EXPECT_LT(hinted.back(), levelCues[0]);
    for (size_t tick : hinted) {
        const Calls& calls = ticks[tick].calls;
        const auto step = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
            return approachLane(call) != 2;
        });
        ASSERT_NE(step, calls.end()) << tick;
        EXPECT_NE(step->find("3.wav"), std::string::npos) << *step;
        EXPECT_TRUE(ticks[tick].has(hintOf[approachLane(*step) + 1])) << tick;
    }
    // The mono set belongs to level 3 and to the fifteenth obstacle of level 2.
    for (size_t i = 0; i < ticks.size(); ++i) {
        if (ticks[i].has("ALIAS obstáculo")) {
            EXPECT_EQ(ticks[i].has(R"(\mono\)"), i > levelCues[1]) << i;
        }
    }
    const std::vector<size_t> mono = ticksWith(ticks, R"(\mono\)");
    ASSERT_FALSE(mono.empty());
    EXPECT_LT(mono.front(), spawns.at(30));
}

TEST_F(CompletedGameTest, FinestereoComesOnceALevelOnTheTickAfterTheEleventhSpawn) {
    const Calls cue = {R"(OPEN \sonidos\finestereo.wav TYPE waveaudio ALIAS finestereo)",
                       "PLAY finestereo"};
    const std::vector<size_t> cues = ticksWith(ticks, "ALIAS finestereo");
    ASSERT_EQ(cues.size(), 3u);
    for (size_t level = 0; level < 3; ++level) {
        EXPECT_EQ(cues[level], spawns.at(15 * level + 10) + 1) << level + 1;
        const Calls& calls = ticks[cues[level]].calls;
        EXPECT_NE(std::search(calls.begin(), calls.end(), cue.begin(), cue.end()), calls.end());
        EXPECT_FALSE(ticks[cues[level]].has("CLOSE finestereo"));
    }
}

}  // namespace
}  // namespace velozor::sim
