// The keys while driving, heard through the simulator: steering, the car, the brake, help and
// leaving for the menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.h"

namespace velozor::sim {
namespace {

std::vector<Event> keyEvents(const SimRun& run) {
    std::vector<Event> keys;
    for (const Event& event : run.events()) {
        if (event.what.rfind("key", 0) == 0)
            keys.push_back(event);
    }
    return keys;
}

// The asynchronous one-shot of a cue kept as a bare name under the sound folder.
Calls cue(const std::string& name) {
    return {R"(snd \sonidos)" + name + " 1"};
}

// The same key pressed at each of `times`.
std::string presses(int key, std::initializer_list<long> times) {
    std::string lines;
    for (long time : times) {
        lines += "key " + std::to_string(time) + " " + std::to_string(key) + "\n";
    }
    return lines;
}

TEST(DrivingKeysTest, LeftAndRightNameTheNewLaneAndStopAtBothEdges) {
    const SimRun run = simulate("until 5000\n" + presses(37, {4100, 4150}) +
                                presses(39, {4200, 4250, 4300}) + presses(37, {4350}));
    const std::vector<Event> keys = keyEvents(run);
    ASSERT_EQ(keys.size(), 6u);
    const std::vector<std::string> heard = {R"(\izquierda.wav)",       R"(\noCarrilIzquierda.wav)",
                                            R"(\centro.wav)",          R"(\derecha.wav)",
                                            R"(\noCarrilDerecha.wav)", R"(\centro.wav)"};
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i].calls, cue(heard[i])) << i;
}

TEST(DrivingKeysTest, HoldingLeftRepeatsTheEdgeCueAndTheLaneStaysAtTheEdge) {
    // Auto-repeat from the centre, then one Right: back in the centre, not still off the road.
    const SimRun run = simulate("until 5000\n" + presses(37, {4100, 4133, 4166, 4199, 4232}) +
                                presses(39, {4300}));
    const std::vector<Event> keys = keyEvents(run);
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0].calls, cue(R"(\izquierda.wav)"));
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(keys[i].calls, cue(R"(\noCarrilIzquierda.wav)")) << i;
    EXPECT_EQ(keys[5].calls, cue(R"(\centro.wav)"));
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
            const bool keyLine = line.find("\tkey\t") != std::string::npos;
            if (!keyLine && line.find("frenando") == std::string::npos)
                game.push_back(line);
        }
        EXPECT_EQ(game, alone.lines) << key;
        const Calls expected = key == 40 ? cue(R"(\frenando.wav)") : Calls{};
        for (const Event& press : keyEvents(run))
            EXPECT_EQ(press.calls, expected) << key;
    }
}

TEST(DrivingKeysTest, UpRestartsTheCarSoundFromItsBeginning) {
    const SimRun run = simulate("until 5000\n" + presses(38, {4100, 4300}));
    const std::vector<Event> keys = keyEvents(run);
    ASSERT_EQ(keys.size(), 2u);
    for (const Event& press : keys) {
        EXPECT_EQ(press.calls, channel("auto", R"(\sonidos\auto.wav)"));
    }
    // The first close finds nothing open; the second cuts off the car sound still playing.
    const std::vector<std::string> closes = {"4100\tmciSendStringA\tCLOSE auto\t263",
                                             "4300\tmciSendStringA\tCLOSE auto\t0"};
    EXPECT_EQ(run.with("CLOSE auto"), closes);
}

TEST(DrivingKeysTest, HelpSilencesTheGameAndItResumesAFullIntervalAfterTheText) {
    const std::vector<Event> before = simulate("until 9000\n").tickEvents();
    // Help while the first obstacle approaches; a Left pressed during the text waits for it.
    const auto approaching = std::find_if(before.begin(), before.end(),
                                          [](const Event& tick) { return tick.has("obstacle15"); });
    ASSERT_NE(approaching, before.end());
    const long help = approaching->time + 200;
    const SimRun run = simulate("until 12000\nkey " + std::to_string(help) + " 112\nkey " +
                                std::to_string(help + 500) + " 37\n");
    const std::vector<Event> events = run.events();
    const auto f1 = std::find_if(events.begin(), events.end(),
                                 [](const Event& event) { return event.what == "key 112"; });
    ASSERT_LT(f1 + 2, events.end());
    const Calls pause =
        Calls{"timer off"} + stopAll() + Calls{R"(snd \sonidos\ayuda.wav 0)", "timer on"};
    EXPECT_EQ(f1->calls, pause);
    EXPECT_EQ(SimRun::timeOf(run.with("timer\ton").at(0)), help + 1000);
    EXPECT_EQ((f1 + 1)->what, "key 37");
    EXPECT_EQ((f1 + 1)->time, help + 1000);
    EXPECT_EQ((f1 + 1)->calls, cue(R"(\izquierda.wav)"));
    // The music again from its beginning; the approach at its next step; no engine yet.
    EXPECT_EQ((f1 + 2)->what, "tick");
    EXPECT_EQ((f1 + 2)->time, help + 1500);
    EXPECT_EQ((f1 + 2)->calls, music() + channel("obstáculo", approach(0, 4)));
}

TEST(DrivingKeysTest, EscapeEndsTheGameAfterTheEndCueAndTheNextKeyWorksTheMenu) {
    const SimRun run = simulate("until 12000\nkey 6200 27\nkey 6700 38\n");
    const std::vector<Event> events = run.events();
    const auto escape = std::find_if(events.begin(), events.end(),
                                     [](const Event& event) { return event.what == "key 27"; });
    ASSERT_LT(escape + 1, events.end());
    // The end cue plays over the running sounds; only then silence and the menu.
    const Calls toMenu = Calls{R"(snd \sonidos\fin.wav 0)", "timer off"} + stopAll() +
                         Calls{R"(snd \sonidos\introd.wav 1)"};
    EXPECT_EQ(escape->calls, toMenu);
    EXPECT_EQ(SimRun::timeOf(run.with("timer\toff").at(0)), 7200);
    EXPECT_EQ((escape + 1)->what, "key 38");
    EXPECT_EQ((escape + 1)->time, 7200);
    EXPECT_EQ((escape + 1)->calls, Calls{R"(snd \sonidos\menúOtro.wav 1)"});
    EXPECT_EQ(run.ticks().back(), 6000);
}

}  // namespace
}  // namespace velozor::sim
