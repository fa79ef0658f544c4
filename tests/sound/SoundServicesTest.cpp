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
    explicit SoundServicesTest(std::string folder = "/opt/velozor")
        : platform(clock, RecordedFiles{folder, std::chrono::milliseconds(1000), {}, {}}),
          sound(platform, soundResultsOf(state), folder) {}

    VirtualClock clock;
    RecordingPlatform platform;
    GameState state;
    SoundServices sound;
};

TEST_F(SoundServicesTest, MissingChannelFileOpensNothingAndStaysSilent) {
    platform.files().missing.insert("\\sonidos\\motor.wav");
    state.rutaCorta = "left over";
    sound.cycleChannel("motor", "/opt/velozor\\sonidos\\motor.wav");
    EXPECT_EQ(state.rutaCorta, "");
    ASSERT_EQ(platform.callFields().size(), 4u);
    EXPECT_EQ(platform.callFields()[1], "GetShortPathNameA\t/opt/velozor\\sonidos\\motor.wav\t0\t");
    EXPECT_EQ(platform.callFields()[2], "mciSendStringA\tOPEN  TYPE waveaudio ALIAS motor\t275");
    EXPECT_EQ(platform.callFields()[3], "mciSendStringA\tPLAY motor\t263");
    EXPECT_TRUE(platform.audible().empty());
}

TEST_F(SoundServicesTest, ObstacleSchedulerCyclesLeaveResMciToTheShortPathCall) {
    state.resMci = -7;
    const std::string path = "/opt/velozor\\sonidos\\esquivar.wav";
    sound.cycleChannel("esquivar", path, ChannelResult::Discard);
    // Only acortarRuta's own result (the path's length) lands; the failed CLOSE does not.
    EXPECT_EQ(state.resMci, static_cast<int32_t>(path.size()));
}

TEST_F(SoundServicesTest, StopAllSoundLeavesNothingOpenSoTheCueWithoutACloseOpensAgain) {
    sound.startMusic();
    sound.cycleChannelWithoutClose("finestereo", "/opt/velozor\\sonidos\\finestereo.wav");
    sound.playOneShot("/opt/velozor\\sonidos\\introd.wav", OneShotMode::Asynchronous);
    sound.stopAllSound(StopAllVariant::Plain);
    EXPECT_TRUE(platform.audible().empty());
    EXPECT_TRUE(platform.openDevices().empty());
    platform.clearCalls();
    sound.cycleChannelWithoutClose("finestereo", "/opt/velozor\\sonidos\\finestereo.wav");
    ASSERT_GE(platform.calls().size(), 2u);
    EXPECT_EQ(platform.calls()[1].result, 0);
}

using SoundServicesDeathTest = SoundServicesTest;

TEST_F(SoundServicesDeathTest, AnAliasNoStopClosesIsAnAssertionWithItsFix) {
    EXPECT_DEATH(sound.closeChannel("motr"), "no channel by this alias.*kChannelsClosedByStopAll");
    EXPECT_DEATH(sound.cycleChannel("radio", "/opt/velozor\\sonidos\\motor.wav"),
                 "no channel by this alias");
}

class LongFolderTest : public SoundServicesTest {
protected:
    LongFolderTest() : SoundServicesTest(longFolder()) {}
    static std::string longFolder() {
        std::string folder = "/home/ana/Mis juegos";
        while (folder.size() < 5000)
            folder += "/una carpeta muy honda";
        return folder;
    }
};

TEST_F(LongFolderTest, DeepFolderWithSpacesStillGivesTheWholePathUnquoted) {
    const std::string path = longFolder() + "\\sonidos\\motor.wav";
    sound.acortarRuta(path);
    EXPECT_EQ(platform.calls().size(), 1u) << "the short path is asked for once";
    EXPECT_EQ(state.rutaCorta, path);
    EXPECT_EQ(state.resMci, static_cast<int32_t>(path.size()));
    sound.cycleChannel("motor", path);
    ASSERT_GE(platform.calls().size(), 2u);
    EXPECT_EQ(platform.callFields().back(), "mciSendStringA\tPLAY motor\t0");
    EXPECT_EQ(platform.calls()[platform.calls().size() - 2].argument,
              "OPEN " + path + " TYPE waveaudio ALIAS motor");
}

}  // namespace
}  // namespace velozor
