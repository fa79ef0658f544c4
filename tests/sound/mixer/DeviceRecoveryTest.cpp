// Tests of the audio device's recovery, through a real PulseAudio server of the test's own,
// and of the buffer check's verdict on made-up callback timings.
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "game/GameContext.h"
#include "sound/SoundServices.h"
#include "sound/mixer/BufferCheck.h"
#include "sound/mixer/MixerPlatform.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/PulseServer.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // SoundFiles.h, PulseServer.h, ProgramProbe.h

// A game folder holding a one-second engine sound, and a PulseAudio server of the test's own
// that SDL's pulseaudio driver is sent to, with no buffer size forced.
class DeviceRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "sonidos");
        writeWav(folder / "sonidos" / "motor.wav", kRate, [](int) { return int16_t{8000}; });
        ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
        std::string error;
        ASSERT_TRUE(server.start(error)) << error;
    }
    void TearDown() override {
        server.kill();
        fs::remove_all(root);
    }

    // Short: the server's socket path must fit in 108 bytes.
    const fs::path root =
        fs::temp_directory_path() / ("velozor-recovery-" + std::to_string(::getpid()));
    const fs::path folder = root / "Mis juegos" / "velozor";
    const std::string motor = folder.string() + "\\sonidos\\motor.wav";
    PulseServer server{root / "pulse"};
};

TEST_F(DeviceRecovery, SoundComesBackThroughANewServerAfterTheOneInUseIsKilled) {
    writeMp3(folder / "sonidos" / "fondo.mp3", 3 * kRate, 8000);
    MixerOptions options;
    std::vector<std::string> shown;
    options.showError = [&shown](const std::string& message) { shown.push_back(message); };
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(std::move(options), error);
    ASSERT_TRUE(platform) << error;

    // The game cycles its engine's channel on every tick; so does the test, more often.
    GameState state;
    SoundServices services(*platform, soundResultsOf(state), folder.string());
    services.startMusic();
    ASSERT_EQ(state.resMci, 1) << "the music did not start";
    const std::string music = state.rutaCorta;
    const auto cycle = [&] {
        services.cycleChannel("motor", motor);
        ASSERT_EQ(state.resMci, 0) << "the channel command failed";
    };
    EXPECT_TRUE(server.sinkSounds(2.0, cycle)) << "nothing reached the first server's sink";

    server.kill();
    // Without a server the game goes on as before: its commands still succeed.
    for (int tick = 0; tick < 5; ++tick) {
        cycle();
        ::usleep(100'000);
    }
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_TRUE(server.sinkSounds(2.0, cycle))
        << "no sound reached the new server's sink within two seconds of its start";
    EXPECT_GE(platform->deviceReopenings(), 1);

    // The music opened before the loss plays again when told to.
    services.closeChannel("motor");
    bool played = false;
    EXPECT_TRUE(server.sinkSounds(2.0, [&] {
        if (!played)
            played = platform->mciExecute(("PLAY " + music).c_str()) == 1;
    })) << "the music opened before the loss stayed silent";
    EXPECT_TRUE(played);
    EXPECT_TRUE(shown.empty()) << shown.front();
}

// True once the audio thread mixes at most two buffers in half a second (it wakes once a
// second while parked, and mixes 86 buffers a second otherwise), within `seconds`.
bool parksWithin(const MixerPlatform& platform, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (std::chrono::steady_clock::now() < deadline) {
        const uint64_t before = platform.framesMixed();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (platform.framesMixed() - before <= 2 * static_cast<uint64_t>(platform.bufferFrames()))
            return true;
    }
    return false;
}

TEST_F(DeviceRecovery, TheAudioThreadSleepsThroughSilenceAndWakesForTheNextSoundAndForALoss) {
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    ASSERT_TRUE(platform) << error;
    GameState state;
    SoundServices services(*platform, soundResultsOf(state), folder.string());
    bool started = false;
    const auto playOnce = [&] {
        if (!started)
            services.cycleChannel("motor", motor);
        started = true;
    };
    ASSERT_TRUE(server.sinkSounds(2.0, playOnce)) << "nothing reached the sink";
    EXPECT_TRUE(parksWithin(*platform, 6.0)) << "the audio thread kept mixing silence";

    started = false;
    EXPECT_TRUE(server.sinkSounds(2.0, playOnce)) << "the sound after the sleep did not play";
    services.closeChannel("motor");
    ASSERT_TRUE(parksWithin(*platform, 6.0));

    // A server that goes away meanwhile is noticed, and the new one found, with no sound asked.
    server.kill();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(server.start(error)) << error;
    for (int wait = 0; wait < 30 && platform->deviceReopenings() == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GE(platform->deviceReopenings(), 1) << "the loss went unnoticed while nothing sounded";
    started = false;
    EXPECT_TRUE(server.sinkSounds(2.0, playOnce)) << "no sound after the new server started";
}

TEST_F(DeviceRecovery, ASynchronousSoundWaitsOutADeviceThatStallsButNotOneThatStaysStalled) {
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    ASSERT_TRUE(platform) << error;
    // Once the stream plays in real time (a new one can wait up to two seconds on an idle null
    // sink), a one-second sound is played while the server stops consuming, 0.4 s in, for
    // `stallMillis` or until the call returns.
    bool started = false;
    ASSERT_TRUE(server.sinkSounds(3.0, [&] {
        if (!started)
            platform->sndPlaySoundA(motor.c_str(), SND_ASYNC);
        started = true;
    })) << "nothing reached the sink";
    struct Outcome {
        std::chrono::milliseconds waited;
        std::string warnings;
    };
    const auto playThroughStall = [&](int stallMillis) {
        std::atomic<bool> returned{false};
        std::thread stall([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            server.freeze();
            for (int waited = 0; waited < stallMillis && !returned; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            server.thaw();
        });
        ::testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(platform->sndPlaySoundA(motor.c_str(), SND_SYNC), 1);
        const auto waited = std::chrono::steady_clock::now() - start;
        returned = true;
        Outcome outcome{std::chrono::duration_cast<std::chrono::milliseconds>(waited),
                        ::testing::internal::GetCapturedStderr()};
        stall.join();
        return outcome;
    };

    const Outcome brief = playThroughStall(1800);
    EXPECT_EQ(brief.warnings, "");
    EXPECT_GE(brief.waited.count(), 2500)
        << "the sound was given up (and would be cut off by the next) before it was played";

    // A device that never plays again must not hold the game for ever.
    const Outcome endless = playThroughStall(8000);
    EXPECT_LT(endless.waited.count(), 6000) << "the game waited on a stalled device";
    EXPECT_NE(endless.warnings.find("the audio device stopped playing"), std::string::npos)
        << endless.warnings;
}

TEST_F(DeviceRecovery, APulseAudioServerQueuesAFewMillisecondsUnlessThePlayerAsksForMore) {
    // The player's own value first, then none: the program's (3 ms).
    for (const char* playersValue : {"40", ""}) {
        if (*playersValue != '\0')
            ::setenv("PULSE_LATENCY_MSEC", playersValue, 1);
        else
            ::unsetenv("PULSE_LATENCY_MSEC");
        std::string error;
        std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
        ASSERT_TRUE(platform) << error;
        GameState state;
        SoundServices services(*platform, soundResultsOf(state), folder.string());
        EXPECT_TRUE(server.sinkSounds(2.0, [&] { services.cycleChannel("motor", motor); }));
        // The server's buffer latency of the one stream playing to it, in microseconds: the
        // most of five readings, since the queue drains and refills between them.
        long micros = -1;
        for (int reading = 0; reading < 5; ++reading) {
            const std::string listing = commandOutput("pactl list sink-inputs 2>/dev/null");
            const size_t field = listing.rfind("Buffer Latency: ");
            if (field != std::string::npos)
                micros = std::max(micros, std::atol(listing.c_str() + field + 16));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        if (*playersValue != '\0') {
            EXPECT_GT(micros, 20'000) << "the player's PULSE_LATENCY_MSEC=40 was not kept";
        } else {
            EXPECT_GT(micros, 0) << "no stream played to the server";
            EXPECT_LE(micros, 6'000) << "the server queues more than a buffer period";
        }
    }
}

// Makes every mix take longer than two periods of a 256-frame buffer (11.6 ms), as on a machine
// too slow for such buffers.
void SDLCALL mixSlowly(int /*channel*/, void* /*stream*/, int /*bytes*/, void* /*data*/) {
    std::this_thread::sleep_for(std::chrono::milliseconds(14));
}

TEST_F(DeviceRecovery, ADeviceThatCannotKeepUpGetsTwiceTheBufferSizeBySizeUpTo512Frames) {
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    ASSERT_TRUE(platform) << error;
    EXPECT_EQ(platform->bufferFrames(), 128) << "a sound server's first size";
    ::testing::internal::CaptureStderr();
    // The size grows only before a sound starts: any sound command while nothing sounds. The
    // mixer's effects are dropped at each opening, so the slow mix is set again on each size
    // still judged (never on 512, where the audio thread may sleep holding SDL's lock).
    int slowed = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const int frames = platform->bufferFrames();
        if (frames == 512)
            break;
        if (frames != slowed) {
            ASSERT_NE(Mix_RegisterEffect(MIX_CHANNEL_POST, mixSlowly, nullptr, nullptr), 0);
            slowed = frames;
        }
        platform->mciSendStringA("close motor", nullptr, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Judged no further: the next commands leave it.
    for (int command = 0; command < 10; ++command) {
        platform->mciSendStringA("close motor", nullptr, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string lines = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform->bufferFrames(), 512) << lines;
    EXPECT_NE(lines.find("does not keep up with 128-frame buffers; using 256 frames"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("does not keep up with 256-frame buffers; using 512 frames"),
              std::string::npos)
        << lines;
}

// 256-frame buffers at 44.1 kHz: a period of 5.8 ms.
BufferWindow window(double elapsedMillis, uint64_t frames, double worstGapMillis) {
    return {256, 44100, static_cast<int64_t>(elapsedMillis * 1e6), frames,
            static_cast<int64_t>(worstGapMillis * 1e6)};
}

TEST(BufferCheck, OnlyADeviceThatFallsBehindRealTimeGetsLargerBuffers) {
    // Too early to tell, however bad it looks.
    EXPECT_EQ(judgeBuffers(window(100, 0, 100)), BufferVerdict::Watching);
    // Steady callbacks, one per period (150 ms is 6615 frames).
    EXPECT_EQ(judgeBuffers(window(150, 6615, 6)), BufferVerdict::KeepsUp);
    // A server that asks in bursts and then pauses, level with real time or ahead of it.
    EXPECT_EQ(judgeBuffers(window(150, 26 * 256, 60)), BufferVerdict::KeepsUp);
    EXPECT_EQ(judgeBuffers(window(150, 40 * 256, 120)), BufferVerdict::KeepsUp);
    // A pause that leaves the mix behind is a device running dry, however long it lasts.
    EXPECT_EQ(judgeBuffers(window(150, 12 * 256, 120)), BufferVerdict::TooSlow);
    EXPECT_EQ(judgeBuffers(window(150, 6615 - 300, 17.5)), BufferVerdict::TooSlow);
    // Behind by less than a buffer: timing noise, not an underrun.
    EXPECT_EQ(judgeBuffers(window(150, 6615 - 200, 17.5)), BufferVerdict::KeepsUp);
}

TEST(BufferCheck, OneSlowWindowAsksForAnotherAndOnlyTwoInARowGrowTheBuffer) {
    BufferJudge slowStart;
    EXPECT_EQ(slowStart.judge(window(150, 12 * 256, 120)), BufferVerdict::WatchAgain);
    EXPECT_EQ(slowStart.judge(window(150, 6615, 6)), BufferVerdict::KeepsUp);
    BufferJudge slowDevice;
    EXPECT_EQ(slowDevice.judge(window(150, 12 * 256, 120)), BufferVerdict::WatchAgain);
    EXPECT_EQ(slowDevice.judge(window(150, 12 * 256, 120)), BufferVerdict::TooSlow);
}

}  // namespace
}  // namespace velozor
