// The mixer's audio output: SDL's audio subsystem and the default device, opened through
// SDL2_mixer with a buffer size the device keeps up with. The only code that starts SDL's
// audio, so a failure to start it reads the same wherever it happens.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace velozor {

class AudioDevice {
public:
    // Output format of the mixer. The device is opened with no allowed changes, so SDL
    // converts to whatever the hardware takes and every sound is mixed in this format.
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;  // interleaved signed 16-bit, native byte order

    // Starts SDL's audio subsystem if needed, opens the default audio device and starts the
    // mixer's decoders; at most one may be open at a time (SDL2_mixer has one device). On
    // failure returns nullptr and sets `error` to one line saying what failed and what to do.
    //
    // Buffer size: `bufferFrames` when above 0; else VELOZOR_AUDIO_BUFFER_FRAMES when set to a
    // power of two from 64 to 8192; else the device is first opened with 256 frames (5.8 ms)
    // and the mixer's callbacks are watched for about 150 ms. A callback that arrives more
    // than two buffer periods after the one before means the device ran dry meanwhile (SDL
    // keeps about two buffers queued), so the device is reopened with 512 frames.
    static std::unique_ptr<AudioDevice> open(int bufferFrames, std::string& error);
    // Closes the device (returning once the audio thread has stopped) and stops SDL's audio.
    ~AudioDevice();

    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // The frames per buffer the device runs with.
    int bufferFrames() const { return bufferFrames_; }
    // Frames the mixer has produced since the device was opened; advances on the audio thread,
    // after each buffer is mixed. SDL itself may play a few buffers of silence while the device
    // starts, before the first mix; those are not counted.
    uint64_t framesMixed() const { return framesMixed_.load(std::memory_order_acquire); }

private:
    AudioDevice() = default;
    bool start(int bufferFrames, std::string& error);
    bool openWith(int frames, std::string& error);
    void close();
    bool keepsUp() const;
    static void afterMix(void* self, Uint8* stream, int bytes);

    int bufferFrames_ = 0;
    bool open_ = false;
    // Written by the audio thread after each mix.
    std::atomic<uint64_t> framesMixed_{0};
    std::atomic<int> callbacks_{0};
    std::atomic<int64_t> lastCallbackNanos_{0};
    std::atomic<int64_t> worstGapNanos_{0};
};

}  // namespace velozor
