// The game's tick heard through the simulator: how obstacles are spawned and heard, crashes and
// lives, the end of a game, levels, the "finestereo" cue, the engine loop and a whole game to
// the end of level 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "game/ObstacleScheduler.h"
#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// The calls of `event` from the first one equal to `first` to the end of the event.
Calls callsFrom(const Event& event, const std::string& first) {
    return Calls(std::find(event.calls.begin(), event.calls.end(), first), event.calls.end());
}

// The indices of the events with a call containing `text`.
std::vector<size_t> indicesWith(const std::vector<Event>& events, const std::string& text) {
    std::vector<size_t> found;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].has(text))
            found.push_back(i);
    }
    return found;
}

// Answers instead of the dodging driver (in the menu, say), given the trace so far and the
// earliest time its directives may carry; "-" leaves the turn to the dodging.
using MenuPlayer = std::function<std::string(const std::vector<std::string>& trace, long at)>;

// Plays by ear: steers out of the lane of each approaching obstacle it hears and otherwise
// lets time pass. `menu` is asked first.
Driver dodgingDriver(MenuPlayer menu) {
    return [menu, heard = size_t{0}, lane = 0,
            lastWait = 0L](const std::vector<std::string>& trace) mutable -> std::string {
        int danger = 2;  // no lane
        for (; heard < trace.size(); ++heard) {
            const std::string& line = trace[heard];
            if (laneNamed(line) != 2)
                lane = laneNamed(line);
            if (line.find("comenzar.wav") != std::string::npos)
                lane = 0;
            if (approachLane(line) != 2)
                danger = approachLane(line);
        }
        // Not before the last wait it answered: the scenario's times never go back.
        const long at = std::max(trace.empty() ? 0 : SimRun::timeOf(trace.back()), lastWait);
        const std::string answer = menu(trace, at);
        if (answer != "-") {
            lastWait = at;
            return answer;
        }
        if (danger == lane)
            return "key " + std::to_string(at) + (lane == -1 ? " 39\n" : " 37\n");
        lastWait = at + 250;
        return "wait " + std::to_string(lastWait) + "\n";
    };
}

// One whole game from start-up to the completion of level 3 under the dodging driver; it is
// played once and shared by the tests that look at it.
const SimRun& completedGame() {
    // Once the menu's opening sound is heard the game is over: no further input.
    static const SimRun run = simulateWithDriver(
        "until 1000000\n", dodgingDriver([](const std::vector<std::string>& trace, long) {
            const bool over =
                !trace.empty() && trace.back().find("introd.wav") != std::string::npos;
            return over ? "" : "-";
        }));
    return run;
}

const std::string kCrashCue = R"(snd \sonidos\chocaste.wav 0)";
const std::string kMenuOpening = R"(snd \sonidos\introd.wav 1)";

// A car left in the centre is hit by every odd spawn, which comes in the player's lane.
TEST(GameTickTest, EachCrashComesOnTheArrivalTickAndCostsALifeAndTheThirdEndsTheGame) {
    const SimRun run = simulate("until 200000\n");
    const std::vector<Event> ticks = run.tickEvents();
    const std::vector<size_t> crashes = indicesWith(ticks, kCrashCue);
    ASSERT_EQ(crashes.size(), 3u);
    // The crash comes on the tick that advances the counter to the arrival, the one after
    // step "0" first plays.
    const Event& first = ticks[crashes[0]];
    EXPECT_EQ(crashes[0], indicesWith(ticks, "obstacle10.wav").at(0) + 1);
    EXPECT_EQ(first.calls,
              (Calls{"timer off", kCrashCue} + channel("vidas", R"(\sonidos\dosVidas.wav)") +
               Calls{"timer on"} + channel("obstáculo", approach(0, 0))));
    // The crash cue plays in full and play resumes a full interval after it; the obstacle
    // that was hit earns no dodge cue.
    EXPECT_EQ(ticks[crashes[0] + 1].time, first.time + 1500);
    EXPECT_EQ(ticks[crashes[0] + 1].calls, (Calls{"randomize", "rnd", "rnd"}));
    EXPECT_TRUE(ticks[crashes[1]].has("unaVida.wav"));
    EXPECT_TRUE(ticks[crashes[1]].has("ALIAS obstáculo"));
    // The last crash: no lives cue, the farewell over the running sounds, silence, the menu,
    // and neither the scheduler on that tick nor any tick after it.
    EXPECT_EQ(crashes[2], ticks.size() - 1);
    EXPECT_EQ(callsFrom(ticks.back(), "timer off"),
              (Calls{"timer off", kCrashCue, "CLOSE vidas", R"(snd \sonidos\despedida.wav 0)",
                     "timer off"} +
               stopAll() + Calls{kMenuOpening}));
    EXPECT_EQ(SimRun::timeOf(run.with("despedida.wav").at(0)), ticks.back().time + 1000);
    EXPECT_EQ(SimRun::timeOf(run.with("introd.wav").at(0)), ticks.back().time + 2000);
}

// A key arriving at the time of the due tick is handled before it. (A key during a synchronous
// cue waiting for it to end is checked on help, in DrivingKeysTest.)
TEST(GameTickTest, LaneChangeWithTheArrivalTickAvoidsTheCrash) {
    const std::vector<Event> ticks = simulate("until 20000\n").tickEvents();
    const long time = ticks[indicesWith(ticks, kCrashCue).at(0)].time;
    const std::vector<Event> dodged =
        simulate("until 20000\nkey " + std::to_string(time) + " 37\n").tickEvents();
    EXPECT_TRUE(indicesWith(dodged, kCrashCue).empty());
}

TEST(GameTickTest, EngineRestartsOnEveryTwentyFifthTickOfTheProgramsLife) {
    // Help, a crash, Escape and a new game in between: only ticks count.
    const SimRun run =
        simulate("until 80000\nkey 6200 112\nkey 20000 27\nkey 21500 38\nkey 22000 13\n");
    const std::vector<Event> ticks = run.tickEvents();
    ASSERT_EQ(run.with("comenzar.wav").size(), 1u);
    ASSERT_GT(ticks.size(), 51u);
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i].has("ALIAS motor"), i % 25 == 0) << "tick " << i + 1;
}

TEST(GameTickTest, FinestereoGivenInTheLevelAGameEndedInIsNotGivenInTheNextGamesLevelOne) {
    // Leave the first game by Escape once the cue is heard, start another at once and play it
    // until the cue comes again.
    size_t heard = 0;
    int cues = 0;
    bool left = false;
    const SimRun run = simulateWithDriver(
        "until 1000000\n",
        dodgingDriver([&](const std::vector<std::string>& trace, long at) -> std::string {
            for (; heard < trace.size(); ++heard)
                cues += trace[heard].find("PLAY finestereo") != std::string::npos;
            const std::string now = std::to_string(at);
            if (cues == 1 && !left) {
                left = true;
                return "key " + now + " 27\nkey " + now + " 38\nkey " + now + " 13\n";
            }
            return cues == 2 ? "close " + now + "\n" : "-";
        }));
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.with("comenzar.wav").size(), 1u);
    const std::vector<std::string> given = run.with("PLAY finestereo");
    ASSERT_EQ(given.size(), 2u);
    EXPECT_GT(SimRun::timeOf(given[1]), SimRun::timeOf(run.with("nivel2.wav").at(0)));
}

// The levels of the completed game: each tick index is counted from the game's first tick.
class CompletedGameTest : public ::testing::Test {
protected:
    const SimRun& run = completedGame();
    const std::vector<Event> ticks = run.tickEvents();
    const std::vector<size_t> spawns = indicesWith(ticks, "rnd");
    const std::vector<size_t> levelCues = {indicesWith(ticks, "nivel2.wav").at(0),
                                           indicesWith(ticks, "nivel3.wav").at(0),
                                           indicesWith(ticks, "finpuntos.wav").at(0)};
};

// Every spawn: the player's lane at odd spawns counted since start-up, a reseeded random lane at
// even ones, and the arrival delay of the draw that follows.
TEST_F(CompletedGameTest, EverySpawnFollowsTheLaneAndDelayRules) {
    std::map<long, std::vector<float>> drawsAt;
    for (const std::string& line : run.with("\trnd\t"))
        drawsAt[SimRun::timeOf(line)].push_back(std::stof(line.substr(line.rfind('\t') + 1)));
    int playerLane = 0;
    std::vector<int> spawnLanes;
    for (const Event& event : run.events()) {
        for (const std::string& call : event.calls)
            playerLane = laneNamed(call) == 2 ? playerLane : laneNamed(call);
        if (event.has("rnd")) {
            const std::vector<float>& draws = drawsAt[event.time];
            const bool odd = spawnLanes.size() % 2 == 0;
            ASSERT_EQ(draws.size(), odd ? 1u : 2u) << spawnLanes.size();
            EXPECT_EQ(event.has("randomize"), !odd) << spawnLanes.size();
            spawnLanes.push_back(odd ? playerLane : randomLane(draws[0]));
        }
        // Whatever approaches belongs to the latest spawn.
        for (const std::string& call : event.calls) {
            if (approachLane(call) != 2) {
                EXPECT_EQ(approachLane(call), spawnLanes.back()) << event.time;
            }
        }
    }
    ASSERT_EQ(spawns.size(), 45u);
    // Each obstacle arrives on the tick before the next spawn.
    for (size_t k = 0; k + 1 < spawns.size(); ++k) {
        const int delay = arrivalDelay(drawsAt[ticks[spawns[k]].time].back());
        EXPECT_EQ(spawns[k + 1] - spawns[k] - 1, static_cast<size_t>(delay)) << "spawn " << k + 1;
    }
}

TEST_F(CompletedGameTest, EachLevelEndsTwoTicksAfterItsFourteenthObstacleArrives) {
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.with("chocaste").empty());
    ASSERT_EQ(spawns.size(), 45u);
    ASSERT_GE(levelCues[0], 2u);
    ASSERT_LT(levelCues[1] + 1, ticks.size());
    // The arrival plays step "0" again; the fifteenth spawn comes on the tick after it.
    for (size_t level = 0; level < 3; ++level) {
        EXPECT_TRUE(ticks[levelCues[level] - 2].has("0.wav TYPE waveaudio ALIAS obstáculo"));
        EXPECT_EQ(spawns[15 * level + 14], levelCues[level] - 1) << level + 1;
    }
    for (size_t level : {0, 1}) {
        const Event& change = ticks[levelCues[level]];
        const std::string cue = R"(snd \sonidos\nivel)" + std::to_string(level + 2) + ".wav 0";
        EXPECT_EQ(callsFrom(change, "timer off"),
                  (Calls{"timer off"} + stopAll() + Calls{cue, "timer on"}));
        const Event& next = ticks[levelCues[level] + 1];
        EXPECT_EQ(next.time, change.time + 1500);
        ASSERT_GE(next.calls.size(), 2u);
        EXPECT_EQ(Calls(next.calls.begin(), next.calls.begin() + 2), music());
    }
    // Completion: the cue over the running sounds with the timer on, then the menu; no tick after.
    EXPECT_EQ(levelCues[2], ticks.size() - 1);
    const std::string completion = R"(snd \sonidos\finpuntos.wav 0)";
    EXPECT_EQ(callsFrom(ticks.back(), completion),
              (Calls{completion, "timer off"} + stopAll() + Calls{kMenuOpening}));
    EXPECT_FALSE(ticks.back().has("timer on"));
}

TEST_F(CompletedGameTest, LaneHintsInLevelOneAloneAndTheFifteenthOfLevelTwoHeardInMono) {
    // Level 1 alone names the lane, on the step "3" tick of each of its first fourteen.
    const std::string hintOf[] = {"izquierda", "centro", "derecha"};
    const std::vector<size_t> hinted = indicesWith(ticks, "viene");
    ASSERT_EQ(hinted.size(), 14u);
    EXPECT_LT(hinted.back(), levelCues[0]);
    for (size_t tick : hinted) {
        const Calls& calls = ticks[tick].calls;
        ASSERT_GE(calls.size(), 6u);
        const int lane = approachLane(calls[calls.size() - 5]);
        ASSERT_NE(lane, 2) << tick;
        EXPECT_EQ(Calls(calls.end() - 6, calls.end()),
                  channel("obstáculo", approach(lane, 3)) +
                      channel("obst", R"(\sonidos\viene)" + hintOf[lane + 1] + ".wav"))
            << tick;
    }
    // The mono set belongs to level 3 and to the fifteenth obstacle of level 2.
    for (size_t i = 0; i < ticks.size(); ++i) {
        if (ticks[i].has("ALIAS obstáculo")) {
            EXPECT_EQ(ticks[i].has(R"(\mono\)"), i > levelCues[1]) << i;
        }
    }
    EXPECT_LT(indicesWith(ticks, R"(\mono\)").at(0), spawns.at(30));
}

TEST_F(CompletedGameTest, FinestereoComesOnceALevelOnTheTickAfterTheEleventhSpawn) {
    const std::vector<size_t> cues = indicesWith(ticks, "PLAY finestereo");
    ASSERT_EQ(cues.size(), 3u);
    for (size_t level = 0; level < 3; ++level) {
        EXPECT_EQ(cues[level], spawns.at(15 * level + 10) + 1) << level + 1;
        EXPECT_TRUE(ticks[cues[level]].has(R"(OPEN \sonidos\finestereo.wav TYPE waveaudio)"));
        EXPECT_FALSE(ticks[cues[level]].has("CLOSE finestereo"));
    }
}

// The files `run` asks for. Each must be in the sound catalogue, played the catalogue's way.
std::set<std::string> askedFiles(const SimRun& run) {
    std::set<std::string> asked;
    for (const std::string& line : run.lines) {
        const std::optional<AskedFile> file = askedFile(line);
        if (!file)
            continue;
        asked.insert(file->path);
        const CataloguedSound* listed = findCataloguedSound(file->path);
        if (listed == nullptr) {
            ADD_FAILURE() << line << ": not in the sound catalogue (sound/SoundCatalogue.h)";
            continue;
        }
        EXPECT_EQ(listed->playedAs, file->playedAs) << line;
        EXPECT_EQ(listed->alias, file->alias) << line;
    }
    return asked;
}

TEST_F(CompletedGameTest, ItAndALostGameWithEveryKeyAskForTheWholeSoundCatalogueAndNothingElse) {
    // Every driving key, three crashes, the menu's keys, a second game left by Escape, and the
    // menu left by Escape.
    const SimRun lost = simulate(
        "until 200000\nkey 4100 37\nkey 4200 37\nkey 4300 39\nkey 4400 39\nkey 4500 39\n"
        "key 4600 38\nkey 4700 40\nkey 4800 112\nkey 100000 38\nkey 100100 40\n"
        "key 100200 38\nkey 100300 13\nkey 110000 27\nkey 120000 27\n");
    ASSERT_EQ(lost.status, 0) << lost.errors;
    ASSERT_EQ(lost.with("despedida.wav").size(), 1u);

    std::set<std::string> asked = askedFiles(run);
    asked.merge(askedFiles(lost));
    std::set<std::string> catalogued;
    for (const CataloguedSound& sound : cataloguedSounds())
        catalogued.insert(sound.path);
    EXPECT_EQ(asked, catalogued);
}

}  // namespace
}  // namespace velozor::sim
