// Opening the mixer's audio device, and the buffer-size probe.
#include "sound/mixer/AudioDevice.h"

#include <SDL_mixer.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

namespace velozor {

namespace {

constexpr int kSmallBuffer = 256;
constexpr int kSafeBuffer = 512;

std::atomic<bool> aDeviceIsOpen{false};

int64_t steadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The buffer size asked for in VELOZOR_AUDIO_BUFFER_FRAMES, or 0 if none (or not usable).
int bufferFramesFromEnvironment() {
    const char* value = std::getenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    if (value == nullptr || *value == '\0')
        return 0;
    const int frames = std::atoi(value);
    if (frames >= 64 && frames <= 8192 && (frames & (frames - 1)) == 0)
        return frames;
    std::cerr << "velozor: ignoring VELOZOR_AUDIO_BUFFER_FRAMES=" << value
              << " (use a power of two from 64 to 8192, such as 256 or 512)\n";
    return 0;
}

}  // namespace

std::unique_ptr<AudioDevice> AudioDevice::open(int bufferFrames, std::string& error) {
    if (aDeviceIsOpen.exchange(true)) {
        error = "the sound back end is already open; close it before opening it again";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("cannot start SDL's audio (") + SDL_GetError() +
                "); check that a sound system is installed and running, then start Velozor again";
        aDeviceIsOpen = false;
        return nullptr;
    }
    // From here on the destructor undoes whatever was done.
    std::unique_ptr<AudioDevice> device(new AudioDevice());
    if (!device->start(bufferFrames, error))
        return nullptr;
    return device;
}

bool AudioDevice::openWith(int frames, std::string& error) {
    // The counting callback is in place before the device starts, so framesMixed() counts
    // every frame the device is given, from the first.
    framesMixed_ = 0;
    callbacks_ = 0;
    worstGapNanos_ = 0;
    Mix_SetPostMix(afterMix, this);
    // No allowed changes: SDL converts to the hardware's format, so the mixer's own format,
    // and with it the default tone and the disk driver's output, is always the same.
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, frames, nullptr, 0) != 0) {
        error = std::string("cannot open the audio device (") + Mix_GetError() +
                "); connect or enable a sound output and start Velozor again";
        Mix_SetPostMix(nullptr, nullptr);
        return false;
    }
    bufferFrames_ = frames;
    open_ = true;
    return true;
}

void AudioDevice::close() {
    if (!open_)
        return;
    Mix_CloseAudio();  // returns once the audio thread has stopped
    Mix_SetPostMix(nullptr, nullptr);
    open_ = false;
}

bool AudioDevice::keepsUp() const {
    const int64_t period = int64_t{bufferFrames_} * 1'000'000'000 / kFrequency;
    const int wanted = static_cast<int>(150'000'000 / period) + 2;
    const int64_t deadline = steadyNanos() + 1'000'000'000;
    while (callbacks_.load() < wanted && steadyNanos() < deadline)
        SDL_Delay(5);
    return callbacks_.load() >= wanted && worstGapNanos_.load() <= 2 * period;
}

bool AudioDevice::start(int bufferFrames, std::string& error) {
    const int asked = bufferFrames > 0 ? bufferFrames : bufferFramesFromEnvironment();
    if (asked > 0) {
        if (!openWith(asked, error))
            return false;
    } else {
        if (!openWith(kSmallBuffer, error))
            return false;
        if (!keepsUp()) {
            close();
            if (!openWith(kSafeBuffer, error))
                return false;
        }
    }
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        std::cerr << "velozor: MP3 decoding is unavailable (" << Mix_GetError()
                  << "); the background music will not play\n";
    }
    return true;
}

AudioDevice::~AudioDevice() {
    close();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    aDeviceIsOpen = false;
}

void AudioDevice::afterMix(void* self, Uint8*, int bytes) {
    auto& device = *static_cast<AudioDevice*>(self);
    const auto frames = static_cast<uint64_t>(bytes) / (kChannels * sizeof(int16_t));
    device.framesMixed_.fetch_add(frames, std::memory_order_release);
    const int64_t now = steadyNanos();
    const int64_t before = device.lastCallbackNanos_.exchange(now);
    // The first callbacks fill the device's queue in a burst: only the gaps after them count.
    if (device.callbacks_.fetch_add(1) >= 2 && now - before > device.worstGapNanos_.load()) {
        device.worstGapNanos_.store(now - before);
    }
}

}  // namespace velozor
