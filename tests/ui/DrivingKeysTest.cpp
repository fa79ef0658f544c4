// The keys while driving, heard through a simulated game: steering, the car, the brake and help.
// (Escape, which leaves for the menu, is heard in MenuKeysTest.)
#include <gtest/gtest.h>

#include "tests/tools/sim/SimHarness.h"

namespace velozor::sim {
namespace {

// The asynchronous one-shot of a cue kept as a bare name under the sound folder.
Calls cue(const std::string& name) {
    return {R"(snd \sonidos\)" + name + ".wav 1"};
}

// Left and Right stop at both edges, even when held; Up restarts the car sound from its
// beginning; modifiers alone, Enter and the space bar do nothing, and Down only brakes: the Left
// after them finds the car where it was. Help, pressed while the first obstacle approaches,
// silences the game; a Left pressed during its text waits for it, and play resumes with the
// music a full interval after the text.
TEST(DrivingKeysTest, EachKeyIsAnsweredWithItsCueAndHelpPausesTheGame) {
    const long help = SimRun::timeOf(simulate("until 9000\n").with("obstacle15").at(0)) + 200;
    const std::vector<int> keys = {37, 37, 37, 39, 39, 39, 39, 37, 38,
                                   38, 16, 17, 18, 13, 32, 40, 37};
    std::string scenario = "until 12000\n";
    for (size_t i = 0; i < keys.size(); ++i)
        scenario += "key " + std::to_string(4100 + 50 * i) + " " + std::to_string(keys[i]) + "\n";
    const SimRun run = simulate(scenario + "key " + std::to_string(help) + " 112\nkey " +
                                std::to_string(help + 500) + " 37\n");
    const Calls horn = channel("auto", R"(\sonidos\auto.wav)");
    const Calls helpText =
        Calls{"timer off"} + stopAll() + Calls{R"(snd \sonidos\ayuda.wav 0)", "timer on"};
    std::vector<Calls> heard;  // a cue's name, the horn, help or nothing
    for (const std::string name :
         {"izquierda", "noCarrilIzquierda", "noCarrilIzquierda", "centro", "derecha",
          "noCarrilDerecha", "noCarrilDerecha", "centro", "horn", "horn", "", "", "", "", "",
          "frenando", "izquierda", "help", "noCarrilIzquierda"})
        heard.push_back(name == "horn"   ? horn
                        : name == "help" ? helpText
                        : name.empty()   ? Calls{}
                                         : cue(name));
    EXPECT_EQ(run.keyCalls(), heard);
    const std::vector<Event> events = run.events();
    const size_t f1 = firstEvent(events, "key 112");
    ASSERT_LT(f1 + 2, events.size());
    EXPECT_EQ(events[f1 + 1].time, help + 1000);
    // The music again from its beginning; the approach at its next step; no engine yet.
    EXPECT_EQ(events[f1 + 2].what + " " + std::to_string(events[f1 + 2].time),
              "tick " + std::to_string(help + 1500));
    EXPECT_EQ(events[f1 + 2].calls, music() + channel("obstáculo", approach(0, 4)));
}

}  // namespace
}  // namespace velozor::sim
