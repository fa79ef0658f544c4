// The keys while driving, heard through the simulator: steering, the car, the brake, help and
// leaving for the menu.
#include <gtest/gtest.h>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// The asynchronous one-shot of a cue kept as a bare name under the sound folder.
Calls cue(const std::string& name) {
    return {R"(snd \sonidos\)" + name + " 1"};
}

// The same key pressed at each of `times`.
std::string presses(int key, std::initializer_list<long> times) {
    std::string lines;
    for (long time : times)
        lines += "key " + std::to_string(time) + " " + std::to_string(key) + "\n";
    return lines;
}

TEST(DrivingKeysTest, LeftAndRightNameTheNewLaneAndStopAtBothEdgesEvenWhenHeld) {
    // Left held from the centre repeats every 33 ms; the car stays at the edge.
    const SimRun run = simulate("until 5000\n" + presses(37, {4100, 4133, 4166, 4199}) +
                                presses(39, {4300, 4350, 4400}) + presses(37, {4450}));
    std::vector<Calls> expected;
    for (const char* heard :
         {"izquierda", "noCarrilIzquierda", "noCarrilIzquierda", "noCarrilIzquierda", "centro",
          "derecha", "noCarrilDerecha", "centro"})
        expected.push_back(cue(std::string(heard) + ".wav"));
    EXPECT_EQ(run.keyCalls(), expected);
}

// Modifiers, Enter and the space bar do nothing; Down only brakes. Pressed around the first
// obstacle's arrival, none of them changes what the game does: the car is hit as without them.
TEST(DrivingKeysTest, ModifiersAloneDoNothingAndDownOnlyBrakes) {
    const SimRun alone = simulate("until 20000\n");
    ASSERT_EQ(alone.with("chocaste").size(), 1u);
    for (int key : {16, 17, 18, 13, 32, 40}) {
        const SimRun run = simulate("until 20000\n" + presses(key, {4100, 9000, 11000}));
        std::vector<std::string> game;
        for (const std::string& line : run.lines) {
            if (line.find("\tkey\t") == std::string::npos &&
                line.find("frenando") == std::string::npos)
                game.push_back(line);
        }
        EXPECT_EQ(game, alone.lines) << key;
        const Calls expected = key == 40 ? cue("frenando.wav") : Calls{};
        EXPECT_EQ(run.keyCalls(), std::vector<Calls>(3, expected)) << key;
    }
}

TEST(DrivingKeysTest, UpRestartsTheCarSoundFromItsBeginning) {
    const SimRun run = simulate("until 5000\n" + presses(38, {4100, 4300}));
    const Calls horn = channel("auto", R"(\sonidos\auto.wav)");
    EXPECT_EQ(run.keyCalls(), (std::vector<Calls>{horn, horn}));
    // The first close finds nothing open; the second cuts off the car sound still playing.
    EXPECT_EQ(run.with("CLOSE auto"),
              (std::vector<std::string>{"4100\tmciSendStringA\tCLOSE auto\t263",
                                        "4300\tmciSendStringA\tCLOSE auto\t0"}));
}

TEST(DrivingKeysTest, HelpSilencesTheGameAndItResumesAFullIntervalAfterTheText) {
    // Help while the first obstacle approaches; a Left pressed during the text waits for it.
    const long help = SimRun::timeOf(simulate("until 9000\n").with("obstacle15").at(0)) + 200;
    const SimRun run = simulate("until 12000\n" + presses(112, {help}) + presses(37, {help + 500}));
    const std::vector<Event> events = run.events();
    const size_t f1 = firstEvent(events, "key 112");
    ASSERT_LT(f1 + 2, events.size());
    EXPECT_EQ(events[f1].calls,
              (Calls{"timer off"} + stopAll() + Calls{R"(snd \sonidos\ayuda.wav 0)", "timer on"}));
    EXPECT_EQ(events[f1 + 1].what, "key 37");
    EXPECT_EQ(events[f1 + 1].time, help + 1000);
    EXPECT_EQ(events[f1 + 1].calls, cue("izquierda.wav"));
    // The music again from its beginning; the approach at its next step; no engine yet.
    EXPECT_EQ(events[f1 + 2].what, "tick");
    EXPECT_EQ(events[f1 + 2].time, help + 1500);
    EXPECT_EQ(events[f1 + 2].calls, music() + channel("obstáculo", approach(0, 4)));
}

TEST(DrivingKeysTest, EscapeEndsTheGameAfterTheEndCueAndTheNextKeyWorksTheMenu) {
    const SimRun run = simulate("until 12000\nkey 6200 27\nkey 6700 38\n");
    const std::vector<Event> events = run.events();
    const size_t escape = firstEvent(events, "key 27");
    ASSERT_LT(escape + 1, events.size());
    // The end cue plays over the running sounds; only then silence and the menu.
    EXPECT_EQ(events[escape].calls, (Calls{R"(snd \sonidos\fin.wav 0)", "timer off"} + stopAll() +
                                     Calls{R"(snd \sonidos\introd.wav 1)"}));
    EXPECT_EQ(events[escape + 1].what, "key 38");
    EXPECT_EQ(events[escape + 1].time, 7200);
    EXPECT_EQ(events[escape + 1].calls, Calls{R"(snd \sonidos\menúOtro.wav 1)"});
    const std::vector<long> ticks = run.ticks();
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back(), 6000);
}

}  // namespace
}  // namespace velozor::sim
