// The sound services' command strings and what the platform is left playing. (A channel's cycle
// and the order of the stop sequence are checked in the simulator's traces.)
#include "sound/SoundServices.h"

#include <gtest/gtest.h>

#include "game/GameContext.h"
#include "sound/recording/RecordingPlatform.h"

namespace velozor {
namespace {

class SoundServicesTest : public ::testing::Test {
protected:
    VirtualClock clock;
    RecordingPlatform platform{clock, RecordedFiles{}};
    GameState state;
    SoundServices sound{platform, soundResultsOf(state), "/opt/velozor"};
};

TEST_F(SoundServicesTest, AMissingChannelFileLeavesAnEmptyShortPathAndSilence) {
    platform.files().missing.insert("\\sonidos\\motor.wav");
    state.rutaCorta = "left over";
    sound.cycleChannel("motor", "/opt/velozor\\sonidos\\motor.wav");
    EXPECT_EQ(state.rutaCorta, "");
    ASSERT_EQ(platform.calls().size(), 4u);
    EXPECT_EQ(platform.calls()[2].argument, "OPEN  TYPE waveaudio ALIAS motor");
    EXPECT_TRUE(platform.audible().empty());
}

TEST_F(SoundServicesTest, ObstacleSchedulerCyclesLeaveResMciToTheShortPathCall) {
    state.resMci = -7;
    const std::string path = "/opt/velozor\\sonidos\\esquivar.wav";
    sound.cycleChannel("esquivar", path, ChannelResult::Discard);
    // Only acortarRuta's own result (the path's length) lands; the failed CLOSE does not.
    EXPECT_EQ(state.resMci, static_cast<int32_t>(path.size()));
}

using SoundServicesDeathTest = SoundServicesTest;

TEST_F(SoundServicesDeathTest, AnAliasNoStopClosesIsAnAssertionWithItsFix) {
    EXPECT_DEATH(sound.closeChannel("motr"), "no channel by this alias.*kChannelsClosedByStopAll");
    EXPECT_DEATH(sound.cycleChannel("radio", "/opt/velozor\\sonidos\\motor.wav"),
                 "no channel by this alias");
}

TEST_F(SoundServicesTest, ADeepFolderWithSpacesStillGivesTheWholePathAtTheFirstRequest) {
    std::string path = "/home/ana/Mis juegos";
    while (path.size() < 5000)
        path += "/una carpeta muy honda";
    path += "\\sonidos\\motor.wav";
    sound.acortarRuta(path);
    EXPECT_EQ(platform.calls().size(), 1u) << "the short path is asked for once";
    EXPECT_EQ(state.rutaCorta, path);
    EXPECT_EQ(state.resMci, static_cast<int32_t>(path.size()));
}

}  // namespace
}  // namespace velozor
