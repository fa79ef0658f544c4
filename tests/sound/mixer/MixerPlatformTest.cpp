// Tests of the SDL2_mixer back end, run on SDL's disk audio driver: every assertion about
// sound reads the mix the driver wrote out, frame by frame. (The command rules themselves are
// the interpreter's, tested in tests/sound.)
#include "sound/mixer/MixerPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/GameContext.h"
#include "sound/MusicErrorText.h"
#include "sound/SoundServices.h"
#include "sound/mixer/DefaultTone.h"
#include "sound/mixer/OpenMixer.h"
#include "sound/mixer/PathResolver.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // SoundFiles.h, ProgramProbe.h
using namespace std::chrono_literals;

// How far a frame count from framesMixed() may point before the same moment in the disk
// driver's file: SDL writes a few buffers of silence of its own while the device starts,
// before the mixer's first callback. 50 ms covers it; reading that much later is safe.
constexpr uint64_t kSlack = kRate / 20;

// A fixture whose samples count up from 1000, one per frame, and then hold at 30000: the mix
// shows exactly which frame of the file is sounding, so a restart is a drop back to 1000.
int16_t ramp(int frame) {
    return static_cast<int16_t>(std::min(1000 + frame, 30000));
}
std::function<int16_t(int)> level(int16_t sample) {
    return [sample](int) { return sample; };
}

// The first, or last, frame of `mix` (interleaved stereo) with a nonzero sample; -1 if none.
int64_t firstSounding(const std::vector<int16_t>& mix) {
    const auto at = std::find_if(mix.begin(), mix.end(), [](int16_t sample) { return sample; });
    return at == mix.end() ? -1 : (at - mix.begin()) / 2;
}
int64_t lastSounding(const std::vector<int16_t>& mix) {
    const auto at = std::find_if(mix.rbegin(), mix.rend(), [](int16_t sample) { return sample; });
    return at == mix.rend() ? -1 : (mix.rend() - at - 1) / 2;
}
// Root mean square of the left channel over frames [from, from + frames) of `mix`.
double rms(const std::vector<int16_t>& mix, int64_t from, int64_t frames) {
    double sum = 0;
    for (int64_t frame = from; frame < from + frames; ++frame)
        sum += std::pow(mix.at(static_cast<size_t>(frame) * 2), 2);
    return std::sqrt(sum / static_cast<double>(frames));
}

class MixerPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "sonidos");
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
        ::unsetenv("SDL_DISKAUDIODELAY");  // paced in real time, like a sound card
        MixerOptions options;
        options.showError = [this](const std::string& message) { shown_.push_back(message); };
        std::string error;
        platform_ = MixerPlatform::open(std::move(options), error);
        ASSERT_TRUE(platform_) << error;
        services_.emplace(*platform_, soundResultsOf(state_), folder_.string());
    }
    void TearDown() override {
        services_.reset();
        platform_.reset();
        fs::remove_all(folder_.parent_path().parent_path());
    }

    // A file under sonidos/, and the path the game would use for it.
    std::string sound(const std::string& name) { return (folder_ / "sonidos" / name).string(); }
    std::string gamePath(const std::string& name) {
        return folder_.string() + "\\sonidos\\" + name;
    }
    // The stereo samples the driver has written from frame `from` on: `seconds` of them, or those
    // written once `enough` holds for them, or fewer after 10 s (a busy machine just takes longer).
    std::vector<int16_t> mixFrom(
        uint64_t from, double seconds,
        const std::function<bool(const std::vector<int16_t>&)>& enough = nullptr) {
        const auto samples = 2 * static_cast<size_t>(seconds * kRate);
        std::vector<int16_t> mix;
        waitUntil(
            [&] {
                std::ifstream in(output_, std::ios::binary);
                in.seekg(static_cast<std::streamoff>(from * 4));
                mix.resize(samples);
                in.read(reinterpret_cast<char*>(mix.data()),
                        static_cast<std::streamsize>(samples * 2));
                mix.resize(static_cast<size_t>(in.gcount()) / 2);
                return (enough && enough(mix)) || mix.size() == samples;
            },
            10s);
        return mix;
    }

    const fs::path folder_ = testFolder("mixer") / "Mis juegos" / "velozor";
    const fs::path output_ = folder_.parent_path() / "mix.raw";
    std::vector<std::string> shown_;
    std::unique_ptr<MixerPlatform> platform_;
    GameState state_;
    std::optional<SoundServices> services_;
};

TEST_F(MixerPlatformTest,
       AChannelCycleSoundsTheFileAsItIsASecondRestartsItAndAChangedFileIsReread) {
    // Long enough to be still playing at the second cycle however late a busy machine runs it.
    writeWav(sound("motor.wav"), 3 * kRate, ramp);
    services_->cycleChannel("motor", gamePath("motor.wav"));
    EXPECT_EQ(state_.resMci, 0);
    ASSERT_GE(firstSounding(mixFrom(platform_->framesMixed(), 0.2)), 0) << "it never sounded";

    // A cycle while the file plays starts it again: its first frame comes after frames from
    // well into it (perhaps after a moment of silence between the close and the play), then
    // the file sounds as it is, frame by frame on both sides. The restart may fall on the very
    // first frame after the cycle.
    const uint64_t again = platform_->framesMixed() - 1;
    services_->cycleChannel("motor", gamePath("motor.wav"));
    int64_t restart = -1;
    const std::vector<int16_t> mix = mixFrom(again, 2.0, [&](const std::vector<int16_t>& read) {
        bool oldPlaying = false;
        for (size_t frame = 0; restart < 0 && frame + kRate / 10 < read.size() / 2; ++frame) {
            oldPlaying = oldPlaying || read[2 * frame] > ramp(1);
            if (oldPlaying && read[2 * frame] == ramp(0) && read[2 * frame + 2] == ramp(1))
                restart = static_cast<int64_t>(frame);
        }
        return restart >= 0;
    });
    ASSERT_GE(restart, 0) << "the second cycle did not restart the file";
    for (int frame = 0; frame < kRate / 10; ++frame) {
        ASSERT_EQ(mix[2 * (restart + frame)], ramp(frame)) << "frame " << frame;
        ASSERT_EQ(mix[2 * (restart + frame) + 1], ramp(frame)) << "frame " << frame;
    }
    EXPECT_EQ(platform_->sampleCache().entries(), 1u) << "the second open decoded again";

    // A file replaced on disk by another of the same size is decoded anew, not served from
    // the cache: its modification time tells them apart.
    const fs::file_time_type written = fs::last_write_time(sound("motor.wav"));
    writeWav(sound("motor.wav"), 3 * kRate, level(2500));
    fs::last_write_time(sound("motor.wav"), written + std::chrono::seconds(2));
    const uint64_t third = platform_->framesMixed();
    services_->cycleChannel("motor", gamePath("motor.wav"));
    const std::vector<int16_t> rewritten = mixFrom(third + kSlack, 0.1);
    ASSERT_FALSE(rewritten.empty());
    EXPECT_EQ(rewritten.back(), 2500);
}

TEST_F(MixerPlatformTest, ChannelsAndOneShotsAddUpAndStopAllSoundLeavesSilence) {
    writeMp3(sound("fondo.mp3"), 2 * kRate, 8000);
    writeWav(sound("motor.wav"), 2 * kRate, level(1000));
    writeWav(sound("finestereo.wav"), 2 * kRate, level(2000));
    writeWav(sound("introd.wav"), 2 * kRate, level(4000));
    services_->cycleChannel("motor", gamePath("motor.wav"));
    services_->cycleChannelWithoutClose("finestereo", gamePath("finestereo.wav"));
    services_->playOneShot(gamePath("introd.wav"), OneShotMode::Asynchronous);
    const std::vector<int16_t> sum = mixFrom(platform_->framesMixed() + kSlack, 0.1);
    ASSERT_FALSE(sum.empty());
    for (int16_t sample : sum)
        ASSERT_EQ(sample, 7000) << "two channels and a one-shot do not add up";
    services_->startMusic();
    EXPECT_EQ(state_.resMci, 1) << "the music did not start";
    services_->stopAllSound(StopAllVariant::Plain);
    const std::vector<int16_t> after = mixFrom(platform_->framesMixed() + kSlack, 0.3);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(lastSounding(after), -1) << "something still sounds after stopAllSound";
    EXPECT_TRUE(shown_.empty()) << shown_.front();
}

TEST_F(MixerPlatformTest, ASynchronousOneShotReturnsOnceItsWholeFileHasPlayedAndKeepsInput) {
    const int length = kRate * 3 / 10;
    writeWav(sound("chocaste.wav"), length, level(3000));
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
    const std::string open = "OPEN " + sound("vacío.wav") + " TYPE waveaudio ALIAS motor";
    EXPECT_EQ(platform_->mciSendStringA(open.c_str(), nullptr, 0, 0), MCIERR_CANNOT_LOAD_DRIVER);
    const std::string reported = ::testing::internal::GetCapturedStderr();
    const size_t first = reported.find(sound("vacío.wav"));
    ASSERT_NE(first, std::string::npos) << reported;
    EXPECT_EQ(reported.find(sound("vacío.wav"), first + 1), std::string::npos) << reported;
}

TEST_F(MixerPlatformTest, TheMusicPlaysOnceByItsContentAndStaysOpenAndAFailedOneNamesItsFile) {
    const int length = kRate * 4 / 10;
    writeMp3(sound("fondo.mp3"), length, 8000);
    // In front, an ID3v2.3 tag whose title frame claims 128 KiB it does not hold: the music
    // plays all the same, and the sanitizer build sees no read past the frame.
    const std::string audio = readFile(sound("fondo.mp3"));
    std::ofstream(sound("fondo.mp3"), std::ios::binary)
        << std::string("ID3\3\0\0\0\0\0\20TIT2\0\2\0\0\0\0\0title", 26) << audio;
    uint64_t before = platform_->framesMixed();
    services_->startMusic();
    EXPECT_EQ(state_.resMci, 1);
    std::vector<int16_t> mix = mixFrom(before, 1.5);
    int64_t onset = firstSounding(mix);
    ASSERT_GE(onset, 0) << "the music never sounded";
    // The encoder pads the stream by a few milliseconds at both ends.
    const int64_t heard = lastSounding(mix) - onset;
    EXPECT_GT(heard, length - kRate / 50);
    EXPECT_LT(heard, length + kRate / 10) << "the music repeated";
    EXPECT_NEAR(rms(mix, onset + kRate / 10, kRate / 5), 8000 / std::sqrt(2.0), 600);
    EXPECT_EQ(platform_->mciExecute(("CLOSE " + state_.rutaCorta).c_str()), 1);

    // A wave file under the music's name plays as the wave it is.
    writeWav(sound("fondo.mp3"), kRate, level(3000));
    before = platform_->framesMixed();
    services_->startMusic();
    mix = mixFrom(before, 0.5);
    onset = firstSounding(mix);
    ASSERT_GE(onset, 0) << "the wave under the music's name was silent";
    EXPECT_EQ(mix[2 * (onset + 100)], 3000);
    services_->stopAllSound(StopAllVariant::Plain);
    EXPECT_TRUE(shown_.empty()) << shown_.front();

    // Missing, then a wave with no frames: each open's box names the file by its path on disk,
    // and so does the play's after it.
    const std::string file = sound("fondo.mp3");
    fs::remove(file);
    services_->startMusic();
    writeWav(file, 0, ramp);
    services_->startMusic();
    EXPECT_EQ(state_.resMci, 0);
    constexpr Language es = Language::Spanish;  // the back end's own, when none is asked for
    const std::string play = musicPlayAfterFailedOpenText(es, file);
    const std::string unreadable = musicOpenFailedText(es, file, MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(shown_,
              (std::vector<std::string>{musicOpenFailedText(es, file, MCIERR_FILE_NOT_FOUND), play,
                                        unreadable, play}));
}

TEST_F(MixerPlatformTest, TheSampleCacheKeepsToItsBudgetDroppingTheOldestUnusedFirst) {
    // Sizes 1, 2, 4 and 8 units decoded, so the bytes held tell which entries are left.
    constexpr int kUnit = 1000;  // frames; 4000 bytes in the mixer's format
    for (int at = 0; at < 4; ++at)
        writeWav(sound(std::string(1, char('a' + at)) + ".wav"), kUnit << at, ramp);
    SampleCache cache(12 * kUnit * 4);
    const auto load = [&](char name) {
        uint32_t error = 0;
        std::string detail;
        SharedChunk chunk =
            cache.load(*resolveGamePath(gamePath(std::string(1, name) + ".wav")), error, detail);
        EXPECT_TRUE(chunk) << detail;
        return chunk;
    };
    for (char name : {'a', 'b', 'c', 'a', 'd'})  // 15 units: b, then c, the least recent, go
        load(name);
    EXPECT_EQ(cache.heldBytes(), size_t{9 * kUnit * 4});
    // A chunk a channel still plays goes after those nobody plays, however old.
    const SharedChunk playing = load('d');
    for (char name : {'b', 'a', 'b', 'c'})  // 15 units again: d is the oldest, but a and b go
        load(name);
    EXPECT_EQ(cache.heldBytes(), size_t{12 * kUnit * 4});
    EXPECT_EQ(cache.entries(), 2u);
}

TEST_F(MixerPlatformTest, ShortPathsFollowTheBufferContract) {
    writeWav(sound("motor.wav"), 100, ramp);
    const std::string path = gamePath("motor.wav"), native = sound("motor.wav");
    const auto fits = static_cast<uint32_t>(native.size() + 1);
    char buffer[4096] = "#";
    EXPECT_EQ(platform_->GetShortPathNameA(path.c_str(), buffer, fits - 1), fits);
    EXPECT_EQ(platform_->GetShortPathNameA(gamePath("falta.wav").c_str(), buffer, 4096), 0u);
    EXPECT_STREQ(buffer, "#") << "wrote into a buffer too small, or for a missing file";
    EXPECT_EQ(platform_->GetShortPathNameA(path.c_str(), buffer, fits), fits - 1);
    EXPECT_EQ(std::string(buffer), native);
}

TEST(OpenMixerPlatform, WithoutAnAudioDeviceSaysSoInOneLine) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::string error;
    EXPECT_EQ(openMixerPlatform(error, Language::English), nullptr);
    EXPECT_NE(error.find("audio"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;

    // And a failed start leaves nothing behind: the next open with a device works.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    error.clear();
    auto platform = openMixerPlatform(error, Language::English);
    EXPECT_NE(platform, nullptr) << error;
    EXPECT_EQ(openMixerPlatform(error, Language::English), nullptr)
        << "two back ends would share one mixer";
}

}  // namespace
}  // namespace velozor
