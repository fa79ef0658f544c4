// The scheduler's draws, the loudness steps and the record's counters at the edges of their
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

TEST(ArrivalDelayTest, FourUIsRoundedHalfToEvenAtEveryBoundary) {
    EXPECT_EQ(arrivalDelay(0.0f), 14);
    EXPECT_EQ(arrivalDelay(0.125f), 14);  // 0.5 goes down to 0
    EXPECT_EQ(arrivalDelay(std::nextafter(0.125f, 1.0f)), 12);
    EXPECT_EQ(arrivalDelay(std::nextafter(0.375f, 0.0f)), 12);
    EXPECT_EQ(arrivalDelay(0.375f), 15);  // 1.5 goes up to 2
    EXPECT_EQ(arrivalDelay(0.625f), 15);  // 2.5 goes down to 2
    EXPECT_EQ(arrivalDelay(std::nextafter(0.625f, 1.0f)), 11);
    EXPECT_EQ(arrivalDelay(std::nextafter(0.875f, 0.0f)), 11);
    EXPECT_EQ(arrivalDelay(0.875f), 13);  // 3.5 goes up to 4
    EXPECT_EQ(arrivalDelay(std::nextafter(1.0f, 0.0f)), 13);
}

TEST(RandomLaneTest, ThirdsOfTheUnitIntervalGiveLeftCentreRight) {
    const float third = 1.0f / 3.0f;
    EXPECT_EQ(randomLane(0.0f), -1);
    EXPECT_EQ(randomLane(std::nextafter(third, 0.0f)), -1);
    EXPECT_EQ(randomLane(std::nextafter(third, 1.0f)), 0);
    EXPECT_EQ(randomLane(std::nextafter(2.0f * third, 0.0f)), 0);
    EXPECT_EQ(randomLane(std::nextafter(2.0f * third, 1.0f)), 1);
    EXPECT_EQ(randomLane(std::nextafter(1.0f, 0.0f)), 1);
}

TEST(DrawOutsideTheUnitIntervalDeathTest, StopsWithAHintInsteadOfReadingPastTheTable) {
    EXPECT_DEATH(arrivalDelay(1.5f), "arrivalDelay takes a draw 0 <= u < 1");
    EXPECT_DEATH(randomLane(1.0f), "randomLane takes a draw 0 <= u < 1");
    EXPECT_DEATH(arrivalDelay(-0.2f), "RandomSource::rnd");
}

// Steps "6" to "0" at distances 7 to 1 are heard in the simulated games (MenuKeysTest).
TEST(VolumenTest, OtherDistancesLeaveTheStepAloneAndTheDistanceIsTakenIn16Bits) {
    GameState state;
    state.paso = 100;
    for (int distance : {0, 8, 15, -1}) {
        state.pasoVolumen = "0";
        state.llegada = static_cast<int16_t>(100 + distance);
        volumen(state);
        EXPECT_EQ(state.pasoVolumen, "0") << distance;
    }
    // The distance is taken in 16 bits, so it is right across the counter's wrap too.
    state.paso = 32766;
    state.llegada = static_cast<int16_t>(-32766);  // 32766 + 4, wrapped
    volumen(state);
    EXPECT_EQ(state.pasoVolumen, "3");
}

TEST(CounterWrapTest, SpawnCountKeepsItsParityWhenItWraps) {
    int16_t count = 32766;
    for (int spawn = 32767; spawn <= 32770; ++spawn) {
        count = wrapIncrement(count);
        EXPECT_EQ(isOdd(count), spawn % 2 == 1) << spawn;
    }
}

TEST(RandomGeneratorTest, SameNumbersUntilReseededAllInTheUnitInterval) {
    VirtualClock clock;
    RandomGenerator first(clock);
    RandomGenerator second(clock);
    std::map<int16_t, int> delays;
    for (int draw = 0; draw < 4000; ++draw) {
        const float u = first.rnd();
        ASSERT_EQ(u, second.rnd());
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
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
