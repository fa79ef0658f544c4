// Tests of the audio device through a real PulseAudio server of the test's own (recovery after a
// loss, the audio thread's sleep through silence, stalls, the server's queue, the buffer check),
// and of the buffer judge's verdict on made-up callback timings.
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "game/GameContext.h"
#include "sound/SoundServices.h"
#include "sound/mixer/BufferJudge.h"
#include "sound/mixer/MixerPlatform.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/PulseServer.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // SoundFiles.h, PulseServer.h, ProgramProbe.h
using namespace std::chrono_literals;

// A game folder holding a one-second engine sound, and a PulseAudio server of the test's own
// that SDL's pulseaudio driver is sent to, with no buffer size or server queue forced.
class DeviceRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "sonidos");
        writeWav(folder / "sonidos" / "motor.wav", kRate, [](int) { return int16_t{8000}; });
        ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        ::unsetenv("VELOZOR_AUDIO_BUFFER_FRAMES");
        ::unsetenv("PULSE_LATENCY_MSEC");
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

// True once the audio thread mixes at most two buffers in half a second (it wakes once a
// second while parked, and at least 86 buffers a second otherwise), within six seconds.
bool parks(const MixerPlatform& platform) {
    return waitUntil(
        [&] {
            const uint64_t before = platform.framesMixed();
            std::this_thread::sleep_for(500ms);
            return platform.framesMixed() - before <= 2 * uint64_t(platform.bufferFrames());
        },
        6s);
}

// A sine of `hz`, for a sound told apart from the others at the sink.
std::function<int16_t(int)> tone(double hz) {
    return [hz](int frame) { return int16_t(6000 * std::sin(2 * M_PI * hz * frame / kRate)); };
}

// True when `hz` carries a fifth of the power of `window` (interleaved stereo, left channel):
// a tone of that frequency sounds, alone or among up to three others.
bool carries(const std::vector<int16_t>& window, double hz) {
    std::complex<double> sum;
    double power = 0;
    for (size_t frame = 0; frame < window.size() / 2; ++frame) {
        sum += double(window[2 * frame]) * std::polar(1.0, -2 * M_PI * hz * frame / kRate);
        power += double(window[2 * frame]) * window[2 * frame];
    }
    return power > 0 && 2 * std::norm(sum) / (window.size() / 2) >= 0.2 * power;
}

TEST_F(DeviceRecovery, WhatSoundedComesBackWithinTwoSecondsOfANewServerInEachStateOfTheGame) {
    // A 3 s synchronous cue (660 Hz), the engine (330 Hz) and the music (441 Hz, MP3).
    const std::string cue = folder.string() + "\\sonidos\\intro\\arch 1.wav";
    fs::create_directories(folder / "sonidos" / "intro");
    writeWav(folder / "sonidos" / "intro" / "arch 1.wav", 3 * kRate, tone(660));
    writeWav(folder / "sonidos" / "motor.wav", 20 * kRate, tone(330));
    writeMp3(folder / "sonidos" / "fondo.mp3", 20 * kRate, 6000);
    MixerOptions options;
    std::vector<std::string> shown;
    options.showError = [&shown](const std::string& message) { shown.push_back(message); };
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(options, error);
    ASSERT_TRUE(platform) << error;
    GameState game;
    SoundServices services(*platform, soundResultsOf(game), folder.string());
    // One device's life, one server lost for 2 s in each state, so a loss after a reopening that
    // went through the stand-in driver is noticed too. The cue is cut under 3 s before its end:
    // without its hold it would end into nothing. In the menu it is asked once the loss has been
    // noticed and mended with nothing sounding.
    enum class Cue { None, Synchronous, AfterTheLoss };
    struct State {
        const char* name;
        bool music, engine;
        Cue cue;
        std::vector<double> tones;  // what the sink must carry before the loss and after it
    };
    const State states[] = {
        {"the introduction, help, level or game over", false, false, Cue::Synchronous, {660}},
        {"the music alone", true, false, Cue::None, {441}},
        {"driving, into a crash's cue", true, true, Cue::Synchronous, {660, 441, 330}},
        {"the menu's silence", false, false, Cue::AfterTheLoss, {660}},
    };
    for (const State& state : states) {
        SCOPED_TRACE(state.name);
        if (state.music)
            services.startMusic();
        if (state.engine)
            services.cycleChannel("motor", motor);
        std::thread cuePlayer;
        if (state.cue == Cue::Synchronous)
            cuePlayer = std::thread([&] { EXPECT_EQ(platform->sndPlaySoundA(cue.c_str(), 0), 1); });
        const auto sounding = [&](const std::vector<int16_t>& window) {
            return std::all_of(state.tones.begin(), state.tones.end(),
                               [&](double hz) { return carries(window, hz); });
        };
        if (state.cue == Cue::AfterTheLoss) {
            ASSERT_TRUE(parks(*platform)) << "the audio thread kept mixing silence";
            services.playOneShot(cue, OneShotMode::Asynchronous);
            EXPECT_TRUE(server.sinkSounds(5.0, sounding)) << "no sound after the sleep";
            ASSERT_TRUE(parks(*platform));
        } else {
            ASSERT_TRUE(server.sinkSounds(5.0, sounding)) << "nothing before the loss";
        }
        const int reopenings = platform->deviceReopenings();
        server.kill();
        if (state.engine) {  // the game restarts its engine meanwhile, as if nothing happened
            services.cycleChannel("motor", motor);
            EXPECT_EQ(game.resMci, 0) << "a sound command failed without a server";
        }
        std::this_thread::sleep_for(2s);
        ASSERT_TRUE(server.start(error)) << error;
        const auto up = std::chrono::steady_clock::now();
        if (state.cue == Cue::AfterTheLoss) {
            EXPECT_TRUE(waitUntil([&] { return platform->deviceReopenings() > reopenings; }, 2s))
                << "the loss went unnoticed while nothing sounded";
            services.playOneShot(cue, OneShotMode::Asynchronous);
        }
        const std::chrono::duration<double> left = up + 2s - std::chrono::steady_clock::now();
        EXPECT_TRUE(server.sinkSounds(left.count(), sounding))
            << "not back within 2 s of the new server";
        if (cuePlayer.joinable())
            cuePlayer.join();
        services.stopAllSound(StopAllVariant::Plain);
    }
    EXPECT_EQ(platform->deviceReopenings(), 4);
    EXPECT_TRUE(shown.empty()) << shown.front();
}

TEST_F(DeviceRecovery, ASynchronousSoundWaitsOutADeviceThatStallsButNotOneThatStaysStalled) {
    ::setenv("PULSE_LATENCY_MSEC", "40", 1);  // the player's, which the program keeps
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    ASSERT_TRUE(platform) << error;
    // Once the stream plays in real time (a new one can wait up to two seconds on an idle null
    // sink), the one-second sound plays while the server stops consuming, from 0.4 s in until the
    // call returns or `stallMillis` pass; true when it returned during the stall, with what it
    // wrote on standard error in `warnings`.
    platform->sndPlaySoundA(motor.c_str(), SND_ASYNC);
    ASSERT_TRUE(server.sinkSounds(3.0)) << "nothing reached the sink";
    // The server's buffer latency of the stream, in microseconds: it drains and refills, so one
    // reading of several shows the queue asked for.
    EXPECT_TRUE(waitUntil(
        [] {
            const std::string listing = commandOutput("pactl list sink-inputs 2>/dev/null");
            const size_t field = listing.rfind("Buffer Latency: ");
            return field != std::string::npos && std::atol(listing.c_str() + field + 16) > 20'000;
        },
        1s))
        << "the player's PULSE_LATENCY_MSEC=40 was not kept";
    const auto returnsDuringStall = [&](int stallMillis, std::string& warnings) {
        std::atomic<bool> returned{false};
        std::atomic<bool> thawing{false};
        std::thread stall([&] {
            std::this_thread::sleep_for(400ms);
            server.freeze();
            waitUntil([&] { return returned.load(); }, std::chrono::milliseconds(stallMillis));
            thawing = true;
            server.thaw();
        });
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(platform->sndPlaySoundA(motor.c_str(), SND_SYNC), 1);
        const bool duringStall = !thawing;
        returned = true;
        warnings = ::testing::internal::GetCapturedStderr();
        stall.join();
        return duringStall;
    };

    std::string warnings;
    EXPECT_FALSE(returnsDuringStall(1800, warnings))
        << "the sound was given up (and would be cut off by the next) before it was played";
    EXPECT_EQ(warnings, "");
    // A device that never plays again must not hold the game for ever.
    EXPECT_TRUE(returnsDuringStall(15'000, warnings)) << "the game waited on a stalled device";
    EXPECT_NE(warnings.find("el dispositivo de sonido ha dejado de sonar"), std::string::npos)
        << warnings;
}

TEST_F(DeviceRecovery, ADeviceThatCannotKeepUpGetsTwiceTheBufferSizeBySizeUpTo512Frames) {
    std::string error;
    std::unique_ptr<MixerPlatform> platform = MixerPlatform::open(MixerOptions{}, error);
    ASSERT_TRUE(platform) << error;
    EXPECT_EQ(platform->bufferFrames(), 128) << "a sound server's first size";
    ::testing::internal::CaptureStderr();
    // The size grows only before a sound starts: any sound command while nothing sounds. The
    // mixer's effects are dropped at each opening, so the slow mix is set again on each size
    // still judged (never on 512, where the audio thread may sleep holding SDL's lock): each mix
    // takes longer than two periods of the buffers judged, as on a machine too slow for them.
    // Judged no further: ten commands at 512 frames leave it.
    const auto mixSlowly = [](int, void*, int, void*) { std::this_thread::sleep_for(14ms); };
    int slowed = 0;
    int commandsAt512 = 0;
    waitUntil(
        [&] {
            if (platform->bufferFrames() != slowed && platform->bufferFrames() != 512) {
                slowed = platform->bufferFrames();
                EXPECT_NE(Mix_RegisterEffect(MIX_CHANNEL_POST, mixSlowly, nullptr, nullptr), 0);
            }
            platform->mciSendStringA("close motor", nullptr, 0, 0);
            return platform->bufferFrames() == 512 && ++commandsAt512 == 10;
        },
        30s);
    const std::string lines = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform->bufferFrames(), 512) << lines;
    // The server was asked to queue half a buffer period (a whole one is SDL's own request).
    EXPECT_STREQ(std::getenv("PULSE_LATENCY_MSEC"), "6");
    for (const char* step : {"no da abasto con búferes de 128 tramas; se usan 256 tramas (5,8 ms)",
                             "no da abasto con búferes de 256 tramas; se usan 512 tramas"})
        EXPECT_NE(lines.find(step), std::string::npos) << lines;
}

// Windows of 256-frame buffers at 44.1 kHz, a period of 5.8 ms.
BufferWindow window(double elapsedMillis, uint64_t frames, double worstGapMillis) {
    return {256, 44100, int64_t(elapsedMillis * 1e6), frames, int64_t(worstGapMillis * 1e6)};
}

TEST(BufferJudge, OnlyADeviceThatFallsBehindRealTimeGetsLargerBuffers) {
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

TEST(BufferJudge, OneSlowWindowAsksForAnotherAndOnlyTwoInARowGrowTheBuffer) {
    BufferJudge slowStart;
    EXPECT_EQ(slowStart.judge(window(150, 12 * 256, 120)), BufferVerdict::WatchAgain);
    EXPECT_EQ(slowStart.judge(window(150, 6615, 6)), BufferVerdict::KeepsUp);
    BufferJudge slowDevice;
    EXPECT_EQ(slowDevice.judge(window(150, 12 * 256, 120)), BufferVerdict::WatchAgain);
    EXPECT_EQ(slowDevice.judge(window(150, 12 * 256, 120)), BufferVerdict::TooSlow);
}

}  // namespace
}  // namespace velozor
