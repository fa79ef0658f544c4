// How obstacles are placed and heard: spawns, lanes, arrival delays, approach steps and hints.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.h"

namespace velozor::sim {
namespace {

// The arrival delay for the draw u: 4u rounded half to even picks 14, 12, 15, 11 or 13.
int expectedDelay(float u) {
    if (u <= 0.125f)
        return 14;
    if (u < 0.375f)
        return 12;
    if (u <= 0.625f)
        return 15;
    if (u < 0.875f)
        return 11;
    return 13;
}

int expectedRandomLane(float u) {
    return u < 1.0f / 3 ? -1 : u < 2.0f / 3 ? 0 : 1;
}

// The lanes of the approach sounds a tick opens.
std::vector<int> approachLanes(const Event& tick) {
    std::vector<int> lanes;
    for (const std::string& call : tick.calls) {
        if (approachLane(call) != 2)
            lanes.push_back(approachLane(call));
    }
    return lanes;
}

size_t firstTickWith(const std::vector<Event>& ticks, const std::string& text) {
    return static_cast<size_t>(std::find_if(ticks.begin(), ticks.end(),
                                            [&](const Event& tick) { return tick.has(text); }) -
                               ticks.begin());
}

TEST(ObstacleSchedulerTest, FirstSpawnTakesThePlayersLaneWithNeitherDodgeCueNorReseed) {
    for (const auto& [lane, keys] :
         {std::pair{-1, "key 1500 37\n"}, std::pair{0, ""}, std::pair{1, "key 1500 39\n"}}) {
        // A key pressed during the introduction is handled before the first tick.
        const std::vector<Event> ticks = simulate(std::string("until 12000\n") + keys).tickEvents();
        ASSERT_GE(ticks.size(), 9u);
        EXPECT_EQ(ticks[0].calls,
                  music() + channel("motor", R"(\sonidos\motor.wav)") + Calls{"rnd"});
        size_t heard = 0;
        for (const Event& tick : ticks) {
            for (int heardLane : approachLanes(tick)) {
                EXPECT_EQ(heardLane, lane) << tick.time;
                ++heard;
            }
        }
        EXPECT_GT(heard, 0u) << lane;
    }
}

TEST(ObstacleSchedulerTest, OneObstacleIsHeardOnItsLastEightTicksThenTheNextSpawnsWithADodgeCue) {
    // The car leaves the centre right after the first obstacle is spawned there: it is dodged.
    const SimRun run = simulate("until 20000\nkey 4100 37\n");
    const std::vector<Event> ticks = run.tickEvents();
    const size_t farthest = firstTickWith(ticks, "obstacle16.wav");
    ASSERT_LT(farthest + 8, ticks.size());
    for (size_t quiet = 1; quiet < farthest; ++quiet)
        EXPECT_EQ(ticks[quiet].calls, Calls{});
    for (int step = 6; step >= 0; --step) {
        const Calls hint = step == 3 ? channel("obst", R"(\sonidos\vienecentro.wav)") : Calls{};
        EXPECT_EQ(ticks[farthest + 6 - step].calls, channel("obstáculo", approach(0, step)) + hint)
            << step;
    }
    const size_t arrival = farthest + 7;
    EXPECT_EQ(ticks[arrival].calls, channel("obstáculo", approach(0, 0)));
    const Calls dodgeThenEvenSpawn =
        channel("esquivar", R"(\sonidos\esquivar.wav)") + Calls{"randomize", "rnd", "rnd"};
    EXPECT_EQ(ticks[arrival + 1].calls, dodgeThenEvenSpawn);
    // The first spawn drew the delay from tick 1 to the arrival.
    const std::vector<float> draws = run.drawsAt(ticks[0].time);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(static_cast<int>(arrival), expectedDelay(draws[0]));
}

// Every spawn of a whole game: the player's lane at odd spawns counted since start-up, a
// reseeded random lane at even ones, and the arrival delay of the draw that follows.
TEST(ObstacleSchedulerTest, EverySpawnOfAGameFollowsTheLaneAndDelayRules) {
    const SimRun& run = completedGame();
    int playerLane = 0;
    int spawnCount = 0;
    std::vector<size_t> spawnTicks;
    std::vector<int> spawnLanes;
    std::vector<float> delayDraws;
    size_t tickIndex = 0;
    for (const Event& event : run.events()) {
        if (event.what.rfind("key", 0) == 0) {
            for (const auto& [cue, lane] :
                 {std::pair{R"(\izquierda.wav)", -1}, std::pair{R"(\centro.wav)", 0},
                  std::pair{R"(\derecha.wav)", 1}}) {
                if (event.has(cue))
                    playerLane = lane;
            }
        }
        if (event.what != "tick")
            continue;
        if (event.has("rnd")) {
            ++spawnCount;
            const std::vector<float> draws = run.drawsAt(event.time);
            const bool odd = spawnCount % 2 == 1;
            ASSERT_EQ(draws.size(), odd ? 1u : 2u) << spawnCount;
            EXPECT_EQ(event.has("randomize"), !odd) << spawnCount;
            spawnLanes.push_back(odd ? playerLane : expectedRandomLane(draws[0]));
            spawnTicks.push_back(tickIndex);
            delayDraws.push_back(draws.back());
        }
        // Whatever approaches belongs to the latest spawn.
        for (int lane : approachLanes(event))
            EXPECT_EQ(lane, spawnLanes.back()) << event.time;
        ++tickIndex;
    }
    ASSERT_EQ(spawnCount, 45);
    // Each obstacle arrives on the tick before the next spawn.
    for (size_t k = 0; k + 1 < spawnTicks.size(); ++k) {
        EXPECT_EQ(static_cast<int>(spawnTicks[k + 1] - spawnTicks[k] - 1),
                  expectedDelay(delayDraws[k]))
            << "spawn " << k + 1;
    }
}

}  // namespace
}  // namespace velozor::sim
