// Tests of the SDL2_mixer back end, run on SDL's disk audio driver: every assertion about
// sound reads the mix the driver wrote out, frame by frame.
#include "sound/mixer/MixerPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/GameContext.h"
#include "sound/MusicErrorText.h"
#include "sound/SoundServices.h"
#include "sound/mixer/DefaultTone.h"
#include "sound/mixer/OpenMixer.h"
#include "sound/mixer/PathResolver.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // SoundFiles.h

// How far a frame count from framesMixed() may point before the same moment in the disk
// driver's file: SDL writes a few buffers of silence of its own while the device starts,
// before the mixer's first callback. 50 ms covers it; reading that much later is safe.
constexpr uint64_t kSlack = kRate / 20;

// A fixture whose samples count up from 1000, one per frame, and then hold at 30000: the mix
// shows exactly which frame of the file is sounding, so a restart is a drop back to 1000.
int16_t ramp(int frame) {
    return static_cast<int16_t>(std::min(1000 + frame, 30000));
}

class MixerPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testFolder("mixer") / "Mis juegos" / "velozor";
        fs::create_directories(folder_ / "sonidos");
        output_ = folder_.parent_path() / "mix.raw";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
        ::unsetenv("SDL_DISKAUDIODELAY");  // paced in real time, like a sound card
        MixerOptions options;
        options.showError = [this](const std::string& message) { shown_.push_back(message); };
        std::string error;
        platform_ = MixerPlatform::open(std::move(options), error);
        ASSERT_TRUE(platform_) << error;
    }
    void TearDown() override {
        platform_.reset();
        fs::remove_all(folder_.parent_path().parent_path());
    }

    // A file under sonidos/, and the path the game would use for it.
    std::string sound(const std::string& name) { return (folder_ / "sonidos" / name).string(); }
    std::string gamePath(const std::string& name) {
        return folder_.string() + "\\sonidos\\" + name;
    }
    uint32_t send(const std::string& command) {
        char noReply[] = "0";
        return platform_->mciSendStringA(command.c_str(), noReply, 0, 0);
    }
    std::vector<int16_t> mixFrom(uint64_t frame, double seconds) {
        return readMix(output_, frame, static_cast<uint64_t>(seconds * kRate));
    }

    fs::path folder_;
    fs::path output_;
    std::vector<std::string> shown_;
    std::unique_ptr<MixerPlatform> platform_;
};

TEST_F(MixerPlatformTest,
       AChannelCycleSoundsTheFileAsItIsASecondRestartsItAndAChangedFileIsReread) {
    // Long enough to be still playing at the second cycle however late a busy machine runs it.
    writeWav(sound("motor.wav"), 3 * kRate, ramp);
    GameState state;
    SoundServices services(*platform_, soundResultsOf(state), folder_.string());

    const uint64_t start = platform_->framesMixed();
    services.cycleChannel("motor", gamePath("motor.wav"));
    EXPECT_EQ(state.resMci, 0);
    const std::vector<int16_t> first = mixFrom(start, 0.3);
    const int64_t onset = firstSounding(first);
    ASSERT_GE(onset, 0) << "the channel never sounded";
    for (int frame = 0; frame < kRate / 10 && onset + frame < int64_t(first.size() / 2); ++frame) {
        ASSERT_EQ(first[2 * (onset + frame)], ramp(frame)) << "frame " << frame;
        ASSERT_EQ(first[2 * (onset + frame) + 1], ramp(frame)) << "frame " << frame;
    }

    // A cycle while the file still plays starts it again from its first frame.
    // From one frame before the cycle: the restart may fall on the very first frame after it.
    // The mix is read until the restart shows, for up to two seconds of it.
    const uint64_t again = platform_->framesMixed() - 1;
    services.cycleChannel("motor", gamePath("motor.wav"));
    std::vector<int16_t> second;
    const int64_t restart =
        waitInMix(output_, again, 2 * kRate, [&](const std::vector<int16_t>& mix) {
            // The file's first frames after frames from well into it. A mix may fall between
            // the cycle's close and its play and leave a moment of silence between the two.
            bool oldPlaying = false;
            for (size_t frame = 0; frame + 100 < mix.size() / 2; ++frame) {
                if (mix[2 * frame] > ramp(1)) {
                    oldPlaying = true;
                } else if (oldPlaying && mix[2 * frame] == ramp(0) &&
                           mix[2 * frame + 2] == ramp(1)) {
                    second = mix;
                    return static_cast<int64_t>(frame);
                }
            }
            return int64_t{-1};
        });
    ASSERT_GE(restart, 0) << "the second cycle did not restart the file";
    EXPECT_EQ(second[2 * (restart + 100)], ramp(100));
    EXPECT_EQ(platform_->sampleCache().entries(), 1u) << "the second open decoded again";

    // A file replaced on disk by another of the same size is decoded anew, not served from
    // the cache: its modification time tells them apart.
    const fs::file_time_type written = fs::last_write_time(sound("motor.wav"));
    writeWav(sound("motor.wav"), 3 * kRate, [](int) { return int16_t{2500}; });
    fs::last_write_time(sound("motor.wav"), written + std::chrono::seconds(2));
    const uint64_t third = platform_->framesMixed();
    services.cycleChannel("motor", gamePath("motor.wav"));
    const std::vector<int16_t> rewritten = mixFrom(third + kSlack, 0.1);
    ASSERT_FALSE(rewritten.empty());
    EXPECT_EQ(rewritten.back(), 2500);
}

TEST_F(MixerPlatformTest, ChannelsAndOneShotsAddUpAndCloseAllAndStopAllSoundLeaveSilence) {
    writeMp3(sound("fondo.mp3"), 2 * kRate, 8000);
    writeWav(sound("motor.wav"), 2 * kRate, [](int) { return int16_t{1000}; });
    writeWav(sound("finestereo.wav"), 2 * kRate, [](int) { return int16_t{2000}; });
    writeWav(sound("introd.wav"), 2 * kRate, [](int) { return int16_t{4000}; });
    GameState state;
    SoundServices services(*platform_, soundResultsOf(state), folder_.string());

    for (StopAllVariant variant : {StopAllVariant::Plain, StopAllVariant::Unload}) {
        services.cycleChannel("motor", gamePath("motor.wav"));
        services.cycleChannelWithoutClose("finestereo", gamePath("finestereo.wav"));
        EXPECT_EQ(state.resMci, 0) << "finestereo must reopen after the last stopAllSound";
        services.playOneShot(gamePath("introd.wav"), OneShotMode::Asynchronous);
        const std::vector<int16_t> sum = mixFrom(platform_->framesMixed() + kSlack, 0.1);
        ASSERT_FALSE(sum.empty());
        for (int16_t sample : sum)
            ASSERT_EQ(sample, 7000) << "two channels and a one-shot do not add up";
        services.startMusic();
        EXPECT_EQ(state.resMci, 1) << "the music did not start";

        state.resMci = -1;
        services.stopAllSound(variant);
        EXPECT_EQ(state.resMci, 1) << "Close all's result was not kept";
        const std::vector<int16_t> after = mixFrom(platform_->framesMixed() + kSlack, 0.3);
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(lastSounding(after), -1) << "something still sounds after stopAllSound";
    }
    EXPECT_TRUE(shown_.empty()) << shown_.front();

    // "Close all" on its own closes channels and music alike, which may then open again.
    services.startMusic();
    services.cycleChannel("motor", gamePath("motor.wav"));
    EXPECT_EQ(platform_->mciExecute("Close all"), 1);
    EXPECT_EQ(lastSounding(mixFrom(platform_->framesMixed() + kSlack, 0.3)), -1);
    EXPECT_EQ(send("PLAY motor"), MCIERR_INVALID_DEVICE_NAME);
    services.startMusic();
    EXPECT_EQ(state.resMci, 1);
}

TEST_F(MixerPlatformTest, ASynchronousOneShotReturnsOnceItsWholeFileHasPlayedAndKeepsInput) {
    const int length = kRate * 3 / 10;
    writeWav(sound("chocaste.wav"), length, [](int) { return int16_t{3000}; });
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_Event key{};
    key.type = SDL_USEREVENT;  // stands for a key pressed during the sound
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    const uint64_t before = platform_->framesMixed();
    EXPECT_EQ(platform_->sndPlaySoundA(gamePath("chocaste.wav").c_str(), SND_SYNC), 1);
    const uint64_t returned = platform_->framesMixed();
    EXPECT_EQ(SDL_PeepEvents(&key, 1, SDL_GETEVENT, SDL_USEREVENT, SDL_USEREVENT), 1)
        << "the wait took the player's input out of the queue";
    SDL_QuitSubSystem(SDL_INIT_EVENTS);

    const std::vector<int16_t> mix = mixFrom(before, 0.8);
    const int64_t onset = firstSounding(mix);
    ASSERT_GE(onset, 0);
    EXPECT_EQ(lastSounding(mix) - onset + 1, length) << "the file did not play whole";
    const int64_t end = static_cast<int64_t>(before) + onset + length;
    // The mixer may still be finishing the buffer that held the last frames when the wait
    // sees the channel stop; on the slow side, anything short of the one-second safety stop.
    EXPECT_GE(static_cast<int64_t>(returned), end - platform_->bufferFrames() - int64_t{kSlack});
    EXPECT_LT(static_cast<int64_t>(returned), end + kRate / 2);
}

TEST_F(MixerPlatformTest, AMissingUndecodableOrSoundlessFilePlaysTheDefaultToneAndIsNamedOnce) {
    std::ofstream(sound("roto.wav")) << "not a wave file";
    writeWav(sound("vacío.wav"), 0, ramp);  // cut to its 44-byte header
    ::testing::internal::CaptureStderr();
    for (const std::string name : {"falta.wav", "roto.wav", "vacío.wav"}) {
        SCOPED_TRACE(name);
        const uint64_t before = platform_->framesMixed();
        EXPECT_EQ(platform_->sndPlaySoundA(gamePath(name).c_str(), SND_SYNC), 0);
        const std::vector<int16_t> mix = mixFrom(before, 0.6);
        const int64_t onset = firstSounding(mix);
        ASSERT_GE(onset, 0) << "nothing sounded";
        const int64_t heard = lastSounding(mix) - onset;
        EXPECT_NEAR(heard, kRate * kDefaultToneMillis / 1000, 50);
        EXPECT_NEAR(rms(mix, onset + heard / 4, heard / 2), 0.25 * 32767 / std::sqrt(2.0), 200);
    }
    // A channel's open of the file with no frames fails too; the file is named once in all.
    EXPECT_EQ(send("OPEN " + sound("vacío.wav") + " TYPE waveaudio ALIAS motor"),
              MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(platform_->sndPlaySoundA(gamePath("vacío.wav").c_str(), SND_ASYNC), 0);
    const std::string reported = ::testing::internal::GetCapturedStderr();
    const size_t first = reported.find(sound("vacío.wav"));
    ASSERT_NE(first, std::string::npos) << reported;
    EXPECT_EQ(reported.find(sound("vacío.wav"), first + 1), std::string::npos) << reported;
}

TEST_F(MixerPlatformTest, TheMusicIsDecodedByItsContentAndItsErrorBoxesSayWhatToDo) {
    GameState state;
    SoundServices services(*platform_, soundResultsOf(state), folder_.string());
    // A wave file under the music's name plays as the wave it is.
    writeWav(sound("fondo.mp3"), kRate, [](int) { return int16_t{3000}; });
    const uint64_t before = platform_->framesMixed();
    services.startMusic();
    EXPECT_EQ(state.resMci, 1);
    const std::vector<int16_t> mix = mixFrom(before, 0.5);
    const int64_t onset = firstSounding(mix);
    ASSERT_GE(onset, 0) << "the wave under the music's name was silent";
    EXPECT_EQ(mix[2 * (onset + 100)], 3000);
    services.stopAllSound(StopAllVariant::Plain);
    EXPECT_TRUE(shown_.empty()) << shown_.front();

    // Missing, or nothing any decoder reads (a wave with no frames, text): each open's box, then
    // the play's, which says it follows the open.
    const std::string file = sound("fondo.mp3");
    fs::remove(file);
    services.startMusic();
    EXPECT_EQ(state.resMci, 0);
    writeWav(file, 0, ramp);
    services.startMusic();
    std::ofstream(file) << "ID3 but nothing after the tag";
    services.startMusic();
    EXPECT_EQ(state.resMci, 0);
    const std::string missing = musicOpenFailedText(file, MCIERR_FILE_NOT_FOUND);
    const std::string unreadable = musicOpenFailedText(file, MCIERR_CANNOT_LOAD_DRIVER);
    const std::string play = musicPlayAfterFailedOpenText(file);
    EXPECT_EQ(shown_,
              (std::vector<std::string>{missing, play, unreadable, play, unreadable, play}));
    EXPECT_NE(missing, unreadable);
    for (const std::string& text : {missing, unreadable, play}) {
        EXPECT_NE(text.find("«" + file + "»"), std::string::npos) << text;
        EXPECT_NE(text.find("velozor-soundpack"), std::string::npos) << "what to do: " << text;
    }
}

TEST_F(MixerPlatformTest, TheMusicPlaysOnceAndStaysOpenAfterItEnds) {
    const int length = kRate * 4 / 10;
    writeMp3(sound("fondo.mp3"), length, 8000);
    char shortPath[4096] = {};
    ASSERT_GT(platform_->GetShortPathNameA(gamePath("fondo.mp3").c_str(), shortPath, 4096), 0u);
    const uint64_t before = platform_->framesMixed();
    ASSERT_EQ(platform_->mciExecute((std::string("OPEN ") + shortPath).c_str()), 1);
    ASSERT_EQ(platform_->mciExecute((std::string("PLAY ") + shortPath).c_str()), 1);

    const std::vector<int16_t> mix = mixFrom(before, 1.5);
    const int64_t onset = firstSounding(mix);
    ASSERT_GE(onset, 0) << "the music never sounded";
    // The encoder pads the stream by a few milliseconds at both ends.
    const int64_t heard = lastSounding(mix) - onset;
    EXPECT_GT(heard, length - kRate / 50);
    EXPECT_LT(heard, length + kRate / 10) << "the music repeated";
    EXPECT_NEAR(rms(mix, onset + kRate / 10, kRate / 5), 8000 / std::sqrt(2.0), 600);
    EXPECT_EQ(send(std::string("CLOSE ") + shortPath), 0u);
}

TEST_F(MixerPlatformTest, CommandsOnDevicesThatAreNotOpenOrAlreadyOpenFail) {
    writeWav(sound("uno.wav"), kRate, [](int) { return int16_t{1000}; });
    writeWav(sound("dos.wav"), kRate, [](int) { return int16_t{2000}; });
    std::ofstream(sound("roto.wav")) << "not a wave file";
    const std::string open = " TYPE waveaudio ALIAS motor";
    EXPECT_EQ(send("CLOSE finpuntos"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("OPEN " + open), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(send("PLAY motor"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("OPEN " + sound("roto.wav") + open), MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(send("OPEN " + sound("uno.wav") + " TYPE cdaudio ALIAS motor"),
              MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("SEEK motor"), MCIERR_UNRECOGNIZED_COMMAND);

    // A second open under a name that is open fails and leaves the first file in place.
    const std::string alias = " obstáculo";
    ASSERT_EQ(send("OPEN " + sound("uno.wav") + " TYPE waveaudio ALIAS" + alias), 0u);
    EXPECT_EQ(send("OPEN " + sound("dos.wav") + " TYPE waveaudio ALIAS" + alias),
              MCIERR_DUPLICATE_ALIAS);
    const uint64_t before = platform_->framesMixed();
    ASSERT_EQ(send("PLAY" + alias), 0u);
    const std::vector<int16_t> mix = mixFrom(before, 0.2);
    const int64_t onset = firstSounding(mix);
    ASSERT_GE(onset, 0);
    EXPECT_EQ(mix[2 * (onset + 100)], 1000);
    EXPECT_EQ(send("CLOSE" + alias), 0u);
    EXPECT_EQ(send("CLOSE" + alias), MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(MixerPlatformTest, TheSampleCacheKeepsToItsBudgetDroppingTheOldestUnusedFirst) {
    // Sizes 1, 2, 4 and 8 units decoded, so the bytes held tell which entries are left.
    constexpr int kUnit = 1000;  // frames; 4000 bytes in the mixer's format
    const std::string names[] = {"a.wav", "b.wav", "c.wav", "d.wav"};
    for (int at = 0; at < 4; ++at)
        writeWav(sound(names[at]), kUnit << at, ramp);
    SampleCache cache(12 * kUnit * 4);
    const auto load = [&](const std::string& name) {
        uint32_t error = 0;
        std::string detail;
        SharedChunk chunk = cache.load(*resolveGamePath(gamePath(name)), error, detail);
        EXPECT_TRUE(chunk) << detail;
        return chunk;
    };
    load("a.wav");
    load("b.wav");
    load("c.wav");
    load("a.wav");
    load("d.wav");  // 15 units: b, then c, the least recently used, go
    EXPECT_EQ(cache.heldBytes(), size_t{9 * kUnit * 4});

    // A chunk a channel still plays goes after those nobody plays, however old.
    const SharedChunk playing = load("d.wav");
    load("b.wav");
    load("a.wav");
    load("b.wav");
    load("c.wav");  // 15 units again: d is the oldest, but a and b go
    EXPECT_EQ(cache.heldBytes(), size_t{12 * kUnit * 4});
    EXPECT_EQ(cache.entries(), 2u);
}

TEST_F(MixerPlatformTest, ShortPathsFollowTheBufferContract) {
    writeWav(sound("motor.wav"), 100, ramp);
    const std::string path = gamePath("motor.wav");
    const std::string native = sound("motor.wav");
    char buffer[4096];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    const auto fits = static_cast<uint32_t>(native.size() + 1);
    EXPECT_EQ(platform_->GetShortPathNameA(path.c_str(), buffer, fits - 1), fits);
    EXPECT_EQ(buffer[0], '#') << "wrote into a buffer that was too small";
    EXPECT_EQ(platform_->GetShortPathNameA(path.c_str(), buffer, fits), fits - 1);
    EXPECT_EQ(std::string(buffer), native);
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(platform_->GetShortPathNameA(gamePath("falta.wav").c_str(), buffer, 4096), 0u);
    EXPECT_EQ(buffer[0], '#');
}

TEST(OpenMixerPlatform, WithoutAnAudioDeviceSaysSoInOneLine) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::string error;
    EXPECT_EQ(openMixerPlatform(error), nullptr);
    EXPECT_NE(error.find("audio"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;

    // And a failed start leaves nothing behind: the next open with a device works.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    error.clear();
    auto platform = openMixerPlatform(error);
    EXPECT_NE(platform, nullptr) << error;
    EXPECT_EQ(openMixerPlatform(error), nullptr) << "two back ends would share one mixer";
}

}  // namespace
}  // namespace velozor
