// The simulator's scenario, its trace format and the event loop's rules on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// One run traced in full, its program folder holding spaces. The introduction (its first
// part lengthened, its second missing and heard as the default sound for 250 ms, the others
// lasting the default) holds the loop until 3150: the keys pressed meanwhile come in arrival
// order before the overdue tick, which is one tick for the six deadlines missed; the next ticks
// come on Timer1's 500 ms grid, a key at a tick's very time before it. A close request unloads
// in silence and ends the program; nothing after it is handled.
TEST(SimulatorTest, TracesTheStartUpKeysBeforeADueTickOnTheGridAndACloseRequest) {
    const std::string scenario =
        "folder /home/ana/Mis juegos/velozor\nmissing \\sonidos\\intro\\arch 2.wav\n"
        "duration 1100 \\sonidos\\intro\\arch 1.wav\ndefault-duration 900\n"
        "key 1500 37\nkey 2500 37\nkey 3500 39\nclose 5000\nkey 5100 37\n";
    const SimRun run = simulate(scenario);
    ASSERT_EQ(run.status, 0);
    ASSERT_GT(run.lines.size(), 17u);
    const std::string sound = "\tsndPlaySoundA\t/home/ana/Mis juegos/velozor\\sonidos\\";
    const std::string music = "/home/ana/Mis juegos/velozor\\sonidos\\fondo.mp3";
    const std::string motor = "/home/ana/Mis juegos/velozor\\sonidos\\motor.wav";
    std::vector<std::string> expected = {
        "0\tload",
        "0" + sound + "intro\\arch 1.wav\t0\t1",
        "1100" + sound + "intro\\arch 2.wav\t0\t0",
        "1350" + sound + "intro\\arch 3.wav\t0\t1",
        "2250" + sound + "intro\\arch 4.wav\t0\t1",
        "3150\tkey\t37",
        "3150" + sound + "izquierda.wav\t1\t1",
        "3150\tkey\t37",
        "3150" + sound + "noCarrilIzquierda.wav\t1\t1",
        "3150\ttick",
        "3150\tGetShortPathNameA\t" + music + "\t" + std::to_string(music.size()) + "\t" + music,
        "3150\tmciExecute\tOPEN " + music + "\t1",
        "3150\tmciExecute\tPLAY " + music + "\t1",
        "3150\tmciSendStringA\tCLOSE motor\t263",
        "3150\tGetShortPathNameA\t" + motor + "\t" + std::to_string(motor.size()) + "\t" + motor,
        "3150\tmciSendStringA\tOPEN " + motor + " TYPE waveaudio ALIAS motor\t0",
        "3150\tmciSendStringA\tPLAY motor\t0",
        run.lines[17],  // the first draw, below
        "3500\tkey\t39",
        "3500" + sound + "centro.wav\t1\t1",
        "3500\ttick",
        "4000\ttick",
        "4500\ttick",
        "5000\tclose",
        "5000\tunload",
        "5000\tsndPlaySoundA\tNULL\t0\t1",
        "5000\tmciSendStringA\tCLOSE motor\t0",
    };
    for (const std::string alias :
         {"vidas", "finpuntos", "esquivar", "obstáculo", "obst", "auto", "finestereo"})
        expected.push_back("5000\tmciSendStringA\tCLOSE " + alias + "\t263");
    expected.push_back("5000\tmciExecute\tClose all\t1");
    expected.push_back("5000\texit");
    EXPECT_EQ(run.lines, expected);
    // The first spawn takes the player's lane without reseeding and without a dodge cue; the
    // generator is never seeded at start-up, so its one draw is the same on every run.
    EXPECT_EQ(run.lines[17].rfind("3150\trnd\t", 0), 0u) << run.lines[17];
    EXPECT_EQ(simulate(scenario).lines, run.lines);
}

// The introduction runs past the end time: the end carries the time it finished. (Stopping
// before what is due at the end time is checked with the driver below.) Four years is the
// longest time a scenario may give, so the virtual clock cannot overflow: the clock sums four
// of them here. (Longer ones are malformed lines, below.)
TEST(SimulatorTest, UntilEndsOnceAHandlerRunningPastItHasFinishedAndTimesGoUpToFourYears) {
    const SimRun early = simulate("until 2500\n");
    EXPECT_EQ(early.lines.back(), "4000\tend");
    EXPECT_TRUE(early.with("\ttick").empty());
    const SimRun longest = simulate("default-duration 126144000000\nuntil 10\n");
    EXPECT_EQ(longest.status, 0) << longest.errors;
    EXPECT_EQ(longest.lines.back(), "504576000000\tend");
}

// As soon as it is read: the trace up to the key at 4500 was written before line 3.
TEST(SimulatorTest, AMalformedLineStopsTheRunWithStatusTwoAndOneLineNamingIt) {
    const SimRun backwards = simulate("# comment\nkey 4500 37\nkey 4400 39\n");
    EXPECT_EQ(backwards.status, 2);
    EXPECT_EQ(backwards.errors,
              "velozor-sim: malformed scenario, line 3 \"key 4400 39\": time "
              "4400 is before the previous directive's 4500\n");
    EXPECT_EQ(backwards.lines.back().rfind("4500\t", 0), 0u) << backwards.lines.back();
    EXPECT_NE(simulate("key 10 37\nuntil 20\n").errors.find("line 2"), std::string::npos);
    // Read before the program starts, so nothing of them runs.
    for (const char* bad : {"bogus 1\n", "key 10\n", "key 10 abc\n", "key -5 37\n", "wait 10 20\n",
                            "duration x \\a.wav\n", "until\n", "key 10 300\n", "close -0\n",
                            "default-duration 9223372036854775\n", "duration 126144000001 x\n",
                            "until 99999999999999999999999\n", "key 9223372036854775 37\n"}) {
        const SimRun run = simulate(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.errors.rfind("velozor-sim: malformed scenario, line 1 \"", 0), 0u) << bad;
        EXPECT_TRUE(run.lines.empty()) << bad;
    }
    // A line is quoted short, with its control bytes and bytes that are not UTF-8 escaped.
    const std::string line = "w\x1b[2J\xc3\xa1\xff" + std::string(100, 'x');
    EXPECT_EQ(simulate(line + "\n")
                  .errors.rfind("velozor-sim: malformed scenario, line 1 "
                                "\"w\\x1b[2J\xc3\xa1\\xff" +
                                    std::string(72, 'x') + "\"...: ",
                                0),
              0u);
}

TEST(SimulatorTest, ReadsTheScenarioOnlyAsFarAsItMustSoADriverCanAnswerTheTrace) {
    std::vector<size_t> ticksSeen;  // at each read
    long answered = 0;
    const SimRun run =
        simulateWithDriver("until 6000\n", [&](const std::vector<std::string>& trace) {
            ticksSeen.push_back(std::count_if(trace.begin(), trace.end(), [](const auto& line) {
                return line.find("\ttick") != std::string::npos;
            }));
            answered = std::max(answered, trace.empty() ? 0 : SimRun::timeOf(trace.back())) + 250;
            return "wait " + std::to_string(answered) + "\n";
        });
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.with("\ttick"),
              (std::vector<std::string>{"4000\ttick", "4500\ttick", "5000\ttick", "5500\ttick"}));
    // The driver is asked again after each tick's lines are out: it hears every tick before
    // it has to answer for the time after it.
    EXPECT_EQ(std::set<size_t>(ticksSeen.begin(), ticksSeen.end()),
              (std::set<size_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(std::is_sorted(ticksSeen.begin(), ticksSeen.end()));
}

}  // namespace
}  // namespace velozor::sim
