// The game's tick heard through the simulator: crashes and lives, the end of a game, levels,
// how obstacles are spawned and heard, the "finestereo" cue and the engine loop, over a lost
// game and over two games played by ear, the second to the end of level 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "game/ObstacleScheduler.h"
#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

const std::string kCrashCue = R"(snd \sonidos\chocaste.wav 0)";
const std::string kMenuOpening = R"(snd \sonidos\introd.wav 1)";

// The calls of `event` from the first one equal to `first` to the end of the event.
Calls callsFrom(const Event& event, const std::string& first) {
    return Calls(std::find(event.calls.begin(), event.calls.end(), first), event.calls.end());
}

// The indices of the events with a call containing `text`.
std::vector<size_t> indicesWith(const std::vector<Event>& events, const std::string& text) {
    std::vector<size_t> found;
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].has(text))
            found.push_back(i);
    return found;
}

// Two games played by ear: the driver steers out of the lane of each approaching obstacle it
// hears. It leaves the first game by Escape once the "finestereo" cue is heard and starts
// another at once; the input ends when the second game's end opens the menu.
const SimRun& twoGames() {
    static const SimRun run = simulateWithDriver(
        "until 1000000\n", [heard = size_t{0}, lane = 0, cues = 0, menus = 0, left = false,
                            lastWait = 0L](const std::vector<std::string>& trace) mutable {
            int danger = 2;  // no lane
            for (; heard < trace.size(); ++heard) {
                const std::string& line = trace[heard];
                lane = line.find("comenzar.wav") != std::string::npos ? 0
                       : laneNamed(line) != 2                         ? laneNamed(line)
                                                                      : lane;
                danger = approachLane(line) != 2 ? approachLane(line) : danger;
                cues += line.find("PLAY finestereo") != std::string::npos;
                menus += line.find("introd.wav") != std::string::npos;
            }
            // Not before the last wait it answered: the scenario's times never go back.
            const long at = std::max(trace.empty() ? 0 : SimRun::timeOf(trace.back()), lastWait);
            const std::string now = std::to_string(at);
            if (menus == 2)
                return std::string();
            if (cues == 1 && !left) {
                left = true;
                return "key " + now + " 27\nkey " + now + " 38\nkey " + now + " 13\n";
            }
            if (danger == lane)
                return "key " + now + (lane == -1 ? " 39\n" : " 37\n");
            lastWait = at + 250;
            return "wait " + std::to_string(lastWait) + "\n";
        });
    return run;
}

// A lost game with every driving key: the car, left in the right lane, is hit by every odd
// spawn, which comes in the player's lane. Then the menu's keys, a second game left by Escape,
// and the menu left by Escape.
const SimRun& lostGame() {
    static const SimRun run = simulate(
        "until 200000\nkey 4100 37\nkey 4200 37\nkey 4300 39\nkey 4400 39\nkey 4500 39\n"
        "key 4600 38\nkey 4700 40\nkey 4800 112\nkey 100000 38\nkey 100100 40\n"
        "key 100200 38\nkey 100300 13\nkey 110000 27\nkey 120000 27\n");
    return run;
}

TEST(GameTickTest, EachCrashComesOnTheArrivalTickAndCostsALifeAndTheThirdEndsTheGame) {
    const SimRun& run = lostGame();
    std::vector<Event> ticks = run.tickEvents();
    std::erase_if(ticks, [](const Event& tick) { return tick.time > 100000; });  // the first game
    const std::vector<size_t> crashes = indicesWith(ticks, kCrashCue);
    ASSERT_EQ(crashes.size(), 3u);
    // The crash comes on the tick that advances the counter to the arrival, the one after
    // step "0" first plays.
    const Event& first = ticks[crashes[0]];
    EXPECT_EQ(crashes[0], indicesWith(ticks, approach(1, 0)).at(0) + 1);
    EXPECT_EQ(first.calls,
              (Calls{"timer off", kCrashCue} + channel("vidas", R"(\sonidos\dosVidas.wav)") +
               Calls{"timer on"} + channel("obstáculo", approach(1, 0))));
    // The crash cue plays in full and play resumes a full interval after it; the obstacle
    // that was hit earns no dodge cue.
    EXPECT_EQ(ticks[crashes[0] + 1].time, first.time + 1500);
    EXPECT_TRUE(ticks[crashes[0] + 1].has("rnd"));
    EXPECT_FALSE(ticks[crashes[0] + 1].has("esquivar"));
    EXPECT_TRUE(ticks[crashes[1]].has("unaVida.wav"));
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

// Each tick index is counted from the second game's first tick.
class TwoGamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run.status, 0);
        ASSERT_TRUE(run.with("chocaste").empty());
        ASSERT_EQ(spawns.size(), 45u);
    }
    const SimRun& run = twoGames();
    const std::vector<Event> allTicks = run.tickEvents();
    const long secondGame = SimRun::timeOf(run.with("comenzar.wav").at(0));
    const std::vector<Event> ticks{
        std::find_if(allTicks.begin(), allTicks.end(),
                     [this](const Event& tick) { return tick.time > secondGame; }),
        allTicks.end()};
    const std::vector<size_t> spawns = indicesWith(ticks, "rnd");
    const std::vector<size_t> levelCues = {indicesWith(ticks, "nivel2.wav").at(0),
                                           indicesWith(ticks, "nivel3.wav").at(0),
                                           indicesWith(ticks, "finpuntos.wav").at(0)};
};

// Every obstacle of both games: spawned in the player's lane at odd spawns counted since
// start-up, in a reseeded random lane at even ones, each spawn but the first rewarding the dodge
// of the obstacle before; heard from its lane, in mono in level 3 alone, with the lane named at
// step "3" in level 1 alone; arriving on the tick before the next spawn, as its draw says.
TEST_F(TwoGamesTest, EveryObstacleIsSpawnedHeardAndArrivesByTheRules) {
    std::map<long, std::vector<float>> drawsAt;
    for (const std::string& line : run.with("\trnd\t"))
        drawsAt[SimRun::timeOf(line)].push_back(std::stof(line.substr(line.rfind('\t') + 1)));
    const std::string hintOf[] = {"izquierda", "centro", "derecha"};
    int playerLane = 0;
    int level = 1;
    std::vector<int> spawnLanes;
    for (const Event& event : run.events()) {
        for (const std::string& call : event.calls)
            playerLane = laneNamed(call) == 2 ? playerLane : laneNamed(call);
        playerLane = event.has("comenzar.wav") ? 0 : playerLane;
        level = event.has("comenzar.wav") ? 1
                : event.has("nivel2")     ? 2
                : event.has("nivel3")     ? 3
                                          : level;
        if (event.has("rnd")) {
            const std::vector<float>& draws = drawsAt[event.time];
            const bool odd = spawnLanes.size() % 2 == 0;
            ASSERT_EQ(draws.size(), odd ? 1u : 2u) << event.time;
            EXPECT_EQ(event.has("randomize"), !odd) << event.time;
            EXPECT_EQ(event.has(R"(OPEN \sonidos\esquivar.wav)"), !spawnLanes.empty());
            spawnLanes.push_back(odd ? playerLane : randomLane(draws[0]));
        }
        for (const std::string& call : event.calls) {
            if (approachLane(call) == 2)
                continue;
            const int lane = spawnLanes.back();
            EXPECT_EQ(approachLane(call), lane) << event.time;
            EXPECT_EQ(call.find(R"(\mono\)") != std::string::npos, level == 3) << event.time;
            EXPECT_EQ(event.has(R"(OPEN \sonidos\viene)" + hintOf[lane + 1] + ".wav"),
                      level == 1 && call.find("3.wav TYPE") != std::string::npos)
                << event.time;
        }
    }
    for (size_t k = 0; k + 1 < spawns.size(); ++k) {
        const int delay = arrivalDelay(drawsAt[ticks[spawns[k]].time].back());
        EXPECT_EQ(spawns[k + 1] - spawns[k] - 1, static_cast<size_t>(delay)) << "spawn " << k + 1;
    }
}

// The new game's carril is 0 again, and its first obstacle is the one left over from the first
// game, arriving on its tick 12.
TEST_F(TwoGamesTest, ANewGameBeginsWithTheMusicAndHearsTheLeftoverArriveOnItsTwelfthTick) {
    const std::vector<Event> events = run.events();
    const Event& enter = events[firstEvent(events, "key 13")];
    EXPECT_EQ(enter.calls, (Calls{R"(snd \sonidos\comenzar.wav 0)", "timer on"}));
    EXPECT_EQ(ticks[0].time, enter.time + 1500);
    EXPECT_EQ(Calls(ticks[0].calls.begin(), ticks[0].calls.begin() + 2), music());
    // Quiet until its last eight ticks: steps "6" to "0", then "0" again on its arrival.
    for (size_t tick = 1; tick < 12; ++tick) {
        const std::string step = std::to_string(std::max(0, 10 - static_cast<int>(tick)));
        EXPECT_EQ(ticks[tick].has("ALIAS obstáculo"), tick >= 4) << tick;
        EXPECT_EQ(ticks[tick].has(step + ".wav TYPE waveaudio ALIAS obstáculo"), tick >= 4) << tick;
    }
    EXPECT_EQ(spawns[0], 12u);
}

TEST_F(TwoGamesTest, EachLevelEndsOnTheTickAfterItsFifteenthSpawnAndTheThirdCompletesTheGame) {
    for (size_t level = 0; level < 3; ++level)
        EXPECT_EQ(spawns[15 * level + 14], levelCues[level] - 1) << level + 1;
    for (size_t level : {0, 1}) {
        const Event& change = ticks[levelCues[level]];
        const std::string cue = R"(snd \sonidos\nivel)" + std::to_string(level + 2) + ".wav 0";
        EXPECT_EQ(callsFrom(change, "timer off"),
                  (Calls{"timer off"} + stopAll() + Calls{cue, "timer on"}));
        const Event& next = ticks[levelCues[level] + 1];
        EXPECT_EQ(next.time, change.time + 1500);
        EXPECT_EQ(Calls(next.calls.begin(), next.calls.begin() + 2), music());
    }
    // Completion: the cue over the running sounds with the timer on, then the menu; no tick after.
    EXPECT_EQ(levelCues[2], ticks.size() - 1);
    const std::string completion = R"(snd \sonidos\finpuntos.wav 0)";
    EXPECT_EQ(callsFrom(ticks.back(), completion),
              (Calls{completion, "timer off"} + stopAll() + Calls{kMenuOpening}));
}

// The cue of the first game's level 1 is not given again in the second game's level 1: a
// level change alone gives it back.
TEST_F(TwoGamesTest, FinestereoComesOnceALevelOnTheTickAfterTheEleventhSpawn) {
    const std::vector<size_t> cues = indicesWith(ticks, "PLAY finestereo");
    ASSERT_EQ(indicesWith(allTicks, "PLAY finestereo").size(), 3u);
    ASSERT_EQ(cues.size(), 2u);
    for (size_t level : {1, 2}) {
        EXPECT_EQ(cues[level - 1], spawns[15 * level + 10] + 1) << level + 1;
        EXPECT_TRUE(ticks[cues[level - 1]].has(R"(OPEN \sonidos\finestereo.wav TYPE waveaudio)"));
        EXPECT_FALSE(ticks[cues[level - 1]].has("CLOSE finestereo"));
    }
}

// Escape, the menu and a new game in between: only ticks count.
TEST_F(TwoGamesTest, EngineRestartsOnEveryTwentyFifthTickOfTheProgramsLife) {
    for (size_t i = 0; i < allTicks.size(); ++i)
        EXPECT_EQ(allTicks[i].has("ALIAS motor"), i % 25 == 0) << "tick " << i + 1;
}

// Each file asked for must be in the sound catalogue, played the catalogue's way.
TEST_F(TwoGamesTest, TheyAndTheLostGameAskForTheWholeSoundCatalogueAndNothingElse) {
    std::set<std::string> asked;
    for (const SimRun* game : {&run, &lostGame()}) {
        for (const Event& event : game->events()) {
            for (const std::string& call : event.calls) {
                const std::optional<AskedFile> file = askedFile(call);
                const CataloguedSound* listed = file ? findCataloguedSound(file->path) : nullptr;
                if (file && listed == nullptr)
                    ADD_FAILURE() << call
                                  << ": not in the sound catalogue (sound/SoundCatalogue.h)";
                if (listed == nullptr)
                    continue;
                asked.insert(file->path);
                EXPECT_EQ(listed->playedAs, file->playedAs) << call;
                EXPECT_EQ(listed->alias, file->alias) << call;
            }
        }
    }
    // Every file asked for is catalogued, so as many files as the catalogue holds are all of it.
    EXPECT_EQ(asked.size(), cataloguedSounds().size());
}

}  // namespace
}  // namespace velozor::sim
