// The simulator's scenario, its trace format and the event loop's rules on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

TEST(SimulatorTest, StartUpPlaysTheIntroductionThenTicksMusicEngineAndFirstSpawn) {
    const SimRun run = simulate("until 4100\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 15u);
    const std::string intro = "sndPlaySoundA\t/opt/velozor\\sonidos\\intro\\arch ";
    const std::string music = "/opt/velozor\\sonidos\\fondo.mp3";
    const std::string motor = "/opt/velozor\\sonidos\\motor.wav";
    const std::vector<std::string> expected = {
        "0\tload",
        "0\t" + intro + "1.wav\t0\t1",
        "1000\t" + intro + "2.wav\t0\t1",
        "2000\t" + intro + "3.wav\t0\t1",
        "3000\t" + intro + "4.wav\t0\t1",
        "4000\ttick",
        "4000\tGetShortPathNameA\t" + music + "\t" + std::to_string(music.size()) + "\t" + music,
        "4000\tmciExecute\tOPEN " + music + "\t1",
        "4000\tmciExecute\tPLAY " + music + "\t1",
        "4000\tmciSendStringA\tCLOSE motor\t263",
        "4000\tGetShortPathNameA\t" + motor + "\t" + std::to_string(motor.size()) + "\t" + motor,
        "4000\tmciSendStringA\tOPEN " + motor + " TYPE waveaudio ALIAS motor\t0",
        "4000\tmciSendStringA\tPLAY motor\t0",
    };
    EXPECT_EQ(std::vector<std::string>(run.lines.begin(), run.lines.begin() + 13), expected);
    // The first spawn takes the player's lane without reseeding and without a dodge cue; the
    // generator is never seeded at start-up, so its one draw is the same on every run.
    EXPECT_EQ(run.lines[13].rfind("4000\trnd\t", 0), 0u) << run.lines[13];
    EXPECT_EQ(run.lines[14], "4100\tend");
    EXPECT_EQ(simulate("until 4100\n").lines, run.lines);
}

// Timer1's grid starts with the window at 0; the introduction's synchronous parts, the first
// lengthened, hold the loop until 4100, between the grid points 4000 and 4500.
TEST(SimulatorTest, KeysDuringTheIntroductionComeInOrderBeforeTheOverdueTickAndTheGridHolds) {
    const SimRun run = simulate(
        "duration 1100 \\sonidos\\intro\\arch 1.wav\nuntil 9000\nkey 1500 37\nkey 2500 37\n");
    const std::vector<std::string> atEnd = run.with("4100\t");
    ASSERT_GE(atEnd.size(), 5u);
    const std::string cue = "4100\tsndPlaySoundA\t/opt/velozor\\sonidos\\";
    const std::vector<std::string> keysThenTick = {
        "4100\tkey\t37", cue + "izquierda.wav\t1\t1", "4100\tkey\t37",
        cue + "noCarrilIzquierda.wav\t1\t1", "4100\ttick"};
    EXPECT_EQ(std::vector<std::string>(atEnd.begin(), atEnd.begin() + 5), keysThenTick);
    // Every deadline missed meanwhile is one tick as soon as it ends; the next come on the
    // grid, not a whole interval after the late one.
    const std::vector<long> ticks = run.ticks();
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(std::vector<long>(ticks.begin(), ticks.begin() + 4),
              (std::vector<long>{4100, 4500, 5000, 5500}));
}

TEST(SimulatorTest, CloseRequestUnloadsInSilenceAndEndsTheProgram) {
    const SimRun run = simulate("close 4200\nkey 4300 37\n");
    ASSERT_EQ(run.status, 0);
    const std::vector<Event> events = run.events();
    ASSERT_GE(events.size(), 3u);
    const auto close = events.end() - 3;
    EXPECT_EQ(close->what, "close");
    EXPECT_EQ(close->time, 4200);
    Calls unload = stopAll();
    unload.insert(unload.end() - 1, "CLOSE finestereo");
    EXPECT_EQ((close + 1)->what, "unload");
    EXPECT_EQ((close + 1)->calls, unload);
    EXPECT_EQ((close + 2)->what, "exit");
    EXPECT_TRUE(run.with("key").empty());
}

// (Stopping before what is due at the end time is checked with the driver below.)
TEST(SimulatorTest, UntilEndsOnlyOnceAHandlerRunningPastItHasFinished) {
    // The introduction runs past the end time: the end carries the time it finished.
    const SimRun early = simulate("until 2500\n");
    ASSERT_FALSE(early.lines.empty());
    EXPECT_EQ(early.lines.back(), "4000\tend");
    EXPECT_TRUE(early.ticks().empty());
}

TEST(SimulatorTest, MalformedLinesStopTheRunWithStatusTwoAsSoonAsTheyAreRead) {
    // The backwards time is on line 3; the trace up to the key at 4500 was already written.
    const SimRun backwards = simulate("# comment\nkey 4500 37\nkey 4400 39\n");
    EXPECT_EQ(backwards.status, 2);
    EXPECT_NE(backwards.errors.find("line 3"), std::string::npos) << backwards.errors;
    ASSERT_FALSE(backwards.lines.empty());
    EXPECT_EQ(backwards.lines.back().rfind("4500\t", 0), 0u) << backwards.lines.back();
    EXPECT_EQ(std::count(backwards.errors.begin(), backwards.errors.end(), '\n'), 1);
    // A set-up line after a timed one.
    EXPECT_NE(simulate("key 10 37\nuntil 20\n").errors.find("line 2"), std::string::npos);

    for (const char* bad : {"bogus 1\n", "key 10\n", "key 10 abc\n", "key -5 37\n", "wait 10 20\n",
                            "duration x \\a.wav\n", "until\n", "key 10 300\n", "close -0\n"}) {
        const SimRun run = simulate(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.errors.find("line 1"), std::string::npos) << bad << run.errors;
        // Read before the program starts, so nothing of it runs.
        EXPECT_TRUE(run.lines.empty()) << bad;
    }
}

TEST(SimulatorTest, TimesAreBoundedSoTheVirtualClockCannotOverflow) {
    // Four years is the longest time a scenario may give: the clock sums four of them here.
    const SimRun longest = simulate("default-duration 126144000000\nuntil 10\n");
    EXPECT_EQ(longest.status, 0) << longest.errors;
    EXPECT_EQ(longest.lines.back(), "504576000000\tend");
    for (const char* bad : {"default-duration 9223372036854775\n", "duration 126144000001 x\n",
                            "until 99999999999999999999999\n", "key 9223372036854775 37\n"}) {
        const SimRun run = simulate(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.errors.find("longer than a scenario may give: at most 126144000000 ms"),
                  std::string::npos)
            << run.errors;
        EXPECT_TRUE(run.lines.empty()) << bad;
    }
}

TEST(SimulatorTest, AMalformedLineIsQuotedShortAndWithItsControlBytesEscaped) {
    const std::string line = "w\x1b[2J\xc3\xa1\xff" + std::string(100, 'x');
    EXPECT_EQ(simulate(line + "\n").errors,
              "velozor-sim: malformed scenario, line 1 \"w\\x1b[2J\xc3\xa1\\xff" +
                  std::string(72, 'x') +
                  "\"...: unknown directive (expected folder, default-duration, duration, "
                  "missing, until, key, close or wait)\n");
}

TEST(SimulatorTest, SetupNamesFilesAfterTheFolderAndSpacesSurvive) {
    const SimRun run = simulate(
        "folder /home/ana/Mis juegos/velozor\nmissing \\sonidos\\intro\\arch 2.wav\n"
        "duration 400 \\sonidos\\intro\\arch 1.wav\ndefault-duration 100\nuntil 10\n");
    const std::vector<std::string> intro = run.with("arch ");
    ASSERT_EQ(intro.size(), 4u);
    EXPECT_EQ(intro[0],
              "0\tsndPlaySoundA\t/home/ana/Mis juegos/velozor\\sonidos\\intro\\arch 1.wav\t0\t1");
    EXPECT_EQ(SimRun::timeOf(intro[1]), 400);
    EXPECT_EQ(intro[1].substr(intro[1].size() - 4), "\t0\t0");  // the default sound, 250 ms
    EXPECT_EQ(SimRun::timeOf(intro[2]), 650);
    EXPECT_EQ(SimRun::timeOf(intro[3]), 750);
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
    EXPECT_EQ(run.ticks(), (std::vector<long>{4000, 4500, 5000, 5500}));
    // The driver is asked again after each tick's lines are out: it hears every tick before
    // it has to answer for the time after it.
    EXPECT_EQ(std::set<size_t>(ticksSeen.begin(), ticksSeen.end()),
              (std::set<size_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(std::is_sorted(ticksSeen.begin(), ticksSeen.end()));
}

}  // namespace
}  // namespace velozor::sim
