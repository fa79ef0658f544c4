// Command strings as every back end reads them.
#include "sound/MciCommand.h"

#include <gtest/gtest.h>

namespace velozor {
namespace {

TEST(MciCommandTest, OpenSplitsAtItsKeywordsSoPathsKeepTheirSpaces) {
    const auto open = parseMciCommand(
        "OPEN /home/ana/Mis juegos/velozor\\sonidos\\motor.wav TYPE waveaudio "
        "ALIAS motor");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->verb, MciCommand::Verb::Open);
    EXPECT_EQ(open->target, "/home/ana/Mis juegos/velozor\\sonidos\\motor.wav");
    EXPECT_EQ(open->type, "waveaudio");
    EXPECT_EQ(open->alias, "motor");

    // A folder named like a keyword does not confuse it: the last keywords count.
    const auto tricky =
        parseMciCommand("open /tmp/a type b/alias c/x.wav type WaveAudio alias obst");
    ASSERT_TRUE(tricky);
    EXPECT_EQ(tricky->target, "/tmp/a type b/alias c/x.wav");
    EXPECT_EQ(tricky->alias, "obst");
}

TEST(MciCommandTest, OpenOfNothingAndMusicOpenWithoutKeywords) {
    const auto empty = parseMciCommand("OPEN  TYPE waveaudio ALIAS motor");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->target, "");
    EXPECT_EQ(empty->alias, "motor");

    const auto music = parseMciCommand("OPEN /opt/v\\sonidos\\fondo.mp3");
    ASSERT_TRUE(music);
    EXPECT_EQ(music->target, "/opt/v\\sonidos\\fondo.mp3");
    EXPECT_EQ(music->alias, "");

    // Folders whose names hold the keywords: the music's open has no keywords at all.
    for (const std::string folder :
         {"/home/ana/Juegos type Arcade/velozor", "/srv/My Alias Games/v"}) {
        const auto inFolder = parseMciCommand("OPEN " + folder + "\\sonidos\\fondo.mp3");
        ASSERT_TRUE(inFolder);
        EXPECT_EQ(inFolder->target, folder + "\\sonidos\\fondo.mp3");
        EXPECT_EQ(inFolder->type, "");
        EXPECT_EQ(inFolder->alias, "");
        const auto channel =
            parseMciCommand("OPEN " + folder + "\\m.wav TYPE waveaudio ALIAS motor");
        EXPECT_EQ(channel->target, folder + "\\m.wav");
        EXPECT_EQ(channel->alias, "motor");
    }
}

// A parser that rescanned the rest of the command at every position would take hours over these
// four megabytes (and ctest's time-out would fail it); one pass takes milliseconds.
TEST(MciCommandTest, AVeryLongCommandWithoutKeywordsParsesInOnePass) {
    const std::string path(4 << 20, 'a');
    const auto open = parseMciCommand("OPEN " + path);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->target, path);
    EXPECT_EQ(open->alias, "");
    const auto named = parseMciCommand("OPEN x" + path + " type waveaudio alias " + path);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->target, "x" + path);
    EXPECT_EQ(named->alias, path);
}

TEST(MciCommandTest, WordsAreCaseInsensitiveAndUnknownCommandsAreRefused) {
    EXPECT_EQ(parseMciCommand("Close all")->verb, MciCommand::Verb::CloseAll);
    EXPECT_EQ(parseMciCommand("CLOSE ALL")->verb, MciCommand::Verb::CloseAll);
    const auto close = parseMciCommand("close obstáculo");
    EXPECT_EQ(close->verb, MciCommand::Verb::Close);
    EXPECT_EQ(close->target, "obstáculo");
    EXPECT_EQ(parseMciCommand("Play motor")->verb, MciCommand::Verb::Play);
    EXPECT_FALSE(parseMciCommand("SEEK motor TO START"));
    EXPECT_FALSE(parseMciCommand(""));
}

}  // namespace
}  // namespace velozor
