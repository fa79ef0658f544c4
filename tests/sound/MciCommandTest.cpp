// Command strings as every back end reads them. (Which commands are refused, and that words are
// case-insensitive, shows in the interpreter's answers: MciInterpreterTest.)
#include "sound/MciCommand.h"

#include <gtest/gtest.h>

namespace velozor {
namespace {

TEST(MciCommandTest, OpenSplitsAtItsLastKeywordsSoPathsKeepTheirSpacesAndKeywords) {
    const struct {
        std::string command, target, type, alias;
    } opens[] = {
        {"OPEN /home/ana/Mis juegos/velozor\\sonidos\\motor.wav TYPE waveaudio ALIAS motor",
         "/home/ana/Mis juegos/velozor\\sonidos\\motor.wav", "waveaudio", "motor"},
        // Folders named like keywords: the last keywords count.
        {"open /tmp/a type b/alias c/x.wav type WaveAudio alias obst",
         "/tmp/a type b/alias c/x.wav", "WaveAudio", "obst"},
        // The open of nothing (a missing file's empty short path), and the music's open,
        // which has no keywords at all even when its folders' names hold them.
        {"OPEN  TYPE waveaudio ALIAS motor", "", "waveaudio", "motor"},
        {"OPEN /home/ana/Juegos type Arcade/velozor\\sonidos\\fondo.mp3",
         "/home/ana/Juegos type Arcade/velozor\\sonidos\\fondo.mp3", "", ""},
    };
    for (const auto& open : opens) {
        const auto parsed = parseMciCommand(open.command);
        ASSERT_TRUE(parsed) << open.command;
        EXPECT_EQ(parsed->verb, MciCommand::Verb::Open) << open.command;
        EXPECT_EQ(parsed->target, open.target) << open.command;
        EXPECT_EQ(parsed->type, open.type) << open.command;
        EXPECT_EQ(parsed->alias, open.alias) << open.command;
    }
}

// A parser that rescanned the rest of the command at every position would take hours over these
// four megabytes (and ctest's time-out would fail it); one pass takes milliseconds.
TEST(MciCommandTest, AVeryLongCommandWithoutKeywordsParsesInOnePass) {
    const std::string path(4 << 20, 'a');
    EXPECT_EQ(parseMciCommand("OPEN " + path)->target, path);
    const auto named = parseMciCommand("OPEN x" + path + " type waveaudio alias " + path);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->target, "x" + path);
    EXPECT_EQ(named->alias, path);
}

}  // namespace
}  // namespace velozor
