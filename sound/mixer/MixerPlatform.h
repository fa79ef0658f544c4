// The game's real sound back end: the four sound calls carried out with SDL2_mixer, on the
// audio device SDL chooses.
#pragma once

#include <SDL_mixer.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "sound/MciCommand.h"
#include "sound/SoundPlatform.h"
#include "sound/mixer/SampleCache.h"

namespace velozor {

struct MixerOptions {
    // Frames per device buffer. 0 lets the back end decide: 256 (5.8 ms at 44.1 kHz) when the
    // device keeps up with it, 512 otherwise; see MixerPlatform::open. The environment
    // variable VELOZOR_AUDIO_BUFFER_FRAMES, when set, takes precedence over the automatic
    // choice (not over an explicit value here).
    int bufferFrames = 0;
    // How mciExecute shows a failure's text to the player; returns once the player has
    // dismissed it. Empty means an SDL message box (or nothing where no box can be shown).
    std::function<void(const std::string& message)> showError;
};

class MixerPlatform final : public SoundPlatform {
public:
    // Output format of the mixer. The device is opened with no allowed changes, so SDL
    // converts to whatever the hardware takes and every sound is mixed in this format.
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;  // interleaved signed 16-bit, native byte order

    // Starts SDL's audio subsystem if needed, opens the default audio device and returns the
    // back end; at most one may exist at a time. On failure returns nullptr and sets `error`
    // to one line saying what failed and what to do.
    //
    // Buffer size: with bufferFrames 0 the device is first opened with 256 frames and the
    // mixer's callbacks are watched for about 150 ms. A callback that arrives more than two
    // buffer periods after the one before means the device ran dry meanwhile (SDL keeps about
    // two buffers queued), so the device is reopened with 512 frames.
    static std::unique_ptr<MixerPlatform> open(MixerOptions options, std::string& error);
    ~MixerPlatform() override;

    MixerPlatform(const MixerPlatform&) = delete;
    MixerPlatform& operator=(const MixerPlatform&) = delete;

    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    int32_t mciExecute(const char* command) override;
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

    // The frames per buffer the device runs with.
    int bufferFrames() const { return bufferFrames_; }
    // Frames the mixer has produced since the device was opened; advances on the audio thread,
    // after each buffer is mixed. SDL itself may play a few buffers of silence while the device
    // starts, before the first mix; those are not counted.
    uint64_t framesMixed() const { return framesMixed_.load(std::memory_order_acquire); }
    const SampleCache& sampleCache() const { return cache_; }

private:
    // One open device of the command interface: a wave file on its own mixer channel, or the
    // music stream.
    struct Device {
        SharedChunk chunk;  // wave devices
        int channel = -1;   // wave devices: the mixer channel it owns while open
        std::unique_ptr<Mix_Music, void (*)(Mix_Music*)> music{nullptr, Mix_FreeMusic};
    };

    explicit MixerPlatform(MixerOptions options);
    bool start(std::string& error);
    bool openDevice(int frames, std::string& error);
    void closeDevice();
    bool deviceKeepsUp() const;

    static void afterMix(void* self, Uint8* stream, int bytes);
    uint32_t run(const char* command, std::string& detail);
    uint32_t openFile(const MciCommand& command, std::string& detail);
    uint32_t play(const std::string& name, std::string& detail);
    uint32_t close(const std::string& name);
    void release(Device& device);
    int takeChannel();
    void waitForOneShot(const Mix_Chunk& chunk);
    void warnOnce(const std::string& path, const std::string& message);

    MixerOptions options_;
    int bufferFrames_ = 0;
    bool deviceOpen_ = false;
    // Written by the audio thread after each mix.
    std::atomic<uint64_t> framesMixed_{0};
    std::atomic<int> callbacks_{0};
    std::atomic<int64_t> lastCallbackNanos_{0};
    std::atomic<int64_t> worstGapNanos_{0};

    SampleCache cache_;
    std::vector<int16_t> defaultToneSamples_;  // owned here; the chunk below points into it
    SharedChunk defaultTone_;
    SharedChunk oneShot_;  // what the one-shot channel plays, kept alive while it plays
    std::unordered_map<std::string, Device> devices_;  // by lower-cased alias or music path
    std::vector<int> freeChannels_;                    // mixer channels no device owns
    std::set<std::string> warned_;                     // paths already reported on stderr
};

}  // namespace velozor
