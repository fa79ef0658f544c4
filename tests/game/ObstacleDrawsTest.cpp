// The scheduler's draws, the loudness steps and the random generator at the edges of their
// ranges, where rounding and wrapping go wrong first.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "game/GameState.h"
#include "game/ObstacleScheduler.h"
#include "game/RandomGenerator.h"
#include "sound/recording/VirtualClock.h"

namespace velozor {
namespace {

// Four u is rounded half to even: 0.5 down to 0, 1.5 up to 2, 2.5 down to 2, 3.5 up to 4.
TEST(ObstacleDrawsTest, DelayAndLaneChangeExactlyAtTheirBoundaries) {
    const auto above = [](float u) { return std::nextafter(u, 2.0f); };
    const auto below = [](float u) { return std::nextafter(u, -1.0f); };
    const std::pair<float, int> delays[] = {
        {0.0f, 14},   {0.125f, 14},     {above(0.125f), 12}, {below(0.375f), 12},
        {0.375f, 15}, {0.625f, 15},     {above(0.625f), 11}, {below(0.875f), 11},
        {0.875f, 13}, {below(1.0f), 13}};
    for (const auto& [u, delay] : delays)
        EXPECT_EQ(arrivalDelay(u), delay) << u;
    // Thirds of the unit interval give left, centre, right.
    for (int lane : {-1, 0, 1}) {
        EXPECT_EQ(randomLane(lane == -1 ? 0.0f : above((lane + 1) / 3.0f)), lane);
        EXPECT_EQ(randomLane(below((lane + 2) / 3.0f)), lane);
    }
}

TEST(ObstacleDrawsDeathTest, ADrawOutsideTheUnitIntervalStopsWithAHint) {
    EXPECT_DEATH(arrivalDelay(1.5f), "arrivalDelay takes a draw 0 <= u < 1");
    EXPECT_DEATH(randomLane(1.0f), "randomLane takes a draw 0 <= u < 1");
    EXPECT_DEATH(arrivalDelay(-0.2f), "RandomSource::rnd");
}

// Steps "6" to "0" at distances 7 to 1 are heard in the simulated games (GameTickTest); any
// other distance leaves the step alone, and the distance is taken in 16 bits, across the wrap.
TEST(ObstacleDrawsTest, OtherDistancesLeaveTheStepAloneAndTheDistanceIsTakenIn16Bits) {
    for (const auto& [paso, llegada, step] :
         {std::tuple{100, 100, "0"}, {100, 108, "0"}, {100, 99, "0"}, {32766, -32766, "3"}}) {
        GameState state;
        state.pasoVolumen = "0";
        state.paso = static_cast<int16_t>(paso);
        state.llegada = static_cast<int16_t>(llegada);
        volumen(state);
        EXPECT_EQ(state.pasoVolumen, step) << paso << " to " << llegada;
    }
}

TEST(ObstacleDrawsTest, TheGeneratorGivesTheSameNumbersUntilReseededAllInTheUnitInterval) {
    VirtualClock clock;
    RandomGenerator first(clock);
    RandomGenerator second(clock);
    std::map<int16_t, int> delays;
    for (int draw = 0; draw < 4000; ++draw) {
        const float u = first.rnd();
        ASSERT_EQ(u, second.rnd());
        ASSERT_TRUE(u >= 0.0f && u < 1.0f) << u;
        ++delays[arrivalDelay(u)];
    }
    // Delays 11, 12 and 15 come a quarter of the time each, 13 and 14 an eighth.
    for (int16_t delay : {11, 12, 15})
        EXPECT_NEAR(delays[delay], 1000, 120) << delay;
    for (int16_t delay : {13, 14})
        EXPECT_NEAR(delays[delay], 500, 90) << delay;
    // Reseeding follows the clock: two clock readings, two sequences.
    clock.advanceTo(std::chrono::microseconds(123456));
    first.randomize();
    clock.advanceTo(std::chrono::microseconds(123457));
    second.randomize();
    EXPECT_NE(first.rnd(), second.rnd());
}

}  // namespace
}  // namespace velozor
