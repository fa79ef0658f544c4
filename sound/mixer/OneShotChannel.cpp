// The mixer back end's one-shot sound.
#include "sound/mixer/OneShotChannel.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "sound/SoundPlatform.h"
#include "sound/mixer/AudioDevice.h"
#include "sound/mixer/ChannelPool.h"
#include "sound/mixer/DefaultTone.h"
#include "sound/mixer/PathResolver.h"

namespace velozor {

namespace {

// How long the mixer may make no progress before a synchronous sound is given up. Sound
// servers stall for more than a second now and then: an idle PulseAudio null sink paused a
// new stream for 1.9 s after its first buffer. A wait that gave up sooner would let the next
// sound cut this one off though it would have been heard to the end.
constexpr std::chrono::seconds kStallGrace{3};
// How often a synchronous sound's wait answers the window system meanwhile.
constexpr std::chrono::milliseconds kPumpStep{10};

// The one-shot channel's ends, counted as the mixer reports them, so that a synchronous sound's
// wait sleeps until its sound ends instead of polling. The mixer reports an end on the audio
// thread, holding SDL's device lock, or on the game's thread when a sound call halts the
// channel; the report only takes this mutex, and nothing calls SDL while holding it, so the two
// locks never wait on each other.
struct ChannelEnds {
    std::mutex mutex;
    std::condition_variable ended;
    uint64_t count = 0;
};

ChannelEnds& oneShotEnds() {
    static ChannelEnds ends;
    return ends;
}

void SDLCALL noticeChannelEnd(int channel) {
    if (channel != kOneShotChannel)
        return;
    ChannelEnds& ends = oneShotEnds();
    {
        const std::lock_guard<std::mutex> lock(ends.mutex);
        ++ends.count;
    }
    ends.ended.notify_all();
}

}  // namespace

OneShotChannel::OneShotChannel(AudioDevice& device, SampleCache& cache, WarningLog& warnings)
    : device_(device),
      cache_(cache),
      warnings_(warnings),
      defaultToneSamples_(makeDefaultTone(AudioDevice::kFrequency, AudioDevice::kChannels)),
      defaultTone_(
          Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(defaultToneSamples_.data()),
                            static_cast<Uint32>(defaultToneSamples_.size() * sizeof(int16_t))),
          Mix_FreeChunk) {}

int32_t OneShotChannel::play(const char* soundName, uint32_t flags,
                             std::unique_lock<std::mutex>& mixer) {
    if (soundName == nullptr) {
        device_.sounds().haltChannel(kOneShotChannel);
        return 1;
    }
    SharedChunk chunk;
    if (const std::optional<ResolvedFile> file = resolveGamePath(soundName)) {
        uint32_t error = 0;
        std::string detail;
        chunk = cache_.load(*file, error, detail, warnings_.language());
        if (!chunk) {
            warnings_.warnOnce(
                file->path, "no se puede reproducir {} ({}); suena el tono por defecto",
                "cannot play {} ({}); the default tone plays instead", {file->path, detail});
        }
    } else {
        warnings_.warnOnce(soundName,
                           "no se encuentra el archivo de sonido {}; suena el tono por defecto",
                           "sound file not found: {}; the default tone plays instead", {soundName});
    }
    const int32_t result = chunk ? 1 : 0;
    if (!chunk)
        chunk = defaultTone_;

    if (device_.sounds().playChannel(kOneShotChannel, std::move(chunk)) < 0) {
        warnings_.warnOnce("one-shot channel", "falló el canal de los sonidos sueltos: {}",
                           "the one-shot channel failed: {}", {Mix_GetError()});
        return 0;
    }
    if ((flags & SND_ASYNC) == 0)
        waitUntilEnded(mixer);
    return result;
}

void OneShotChannel::waitUntilEnded(std::unique_lock<std::mutex>& mixer) {
    // Keeps the window answering the system while the caller is blocked; input stays queued
    // for the game to read, in order, after the sound. The sound ends when the mixer has played
    // it, however long the device takes; only a mixer that makes no progress at all ends the
    // wait early. A device that went away is no such case: its mixer runs on at its own pace,
    // then on the stand-in, with the sound held until a device is there again.
    using Clock = std::chrono::steady_clock;
    ChannelEnds& ends = oneShotEnds();
    Mix_ChannelFinished(noticeChannelEnd);  // here, since the mixer may have been reopened
    uint64_t frames = device_.framesMixed();
    Clock::time_point lastProgress = Clock::now();
    for (;;) {
        // Read before asking the mixer: an end after the question still wakes the wait below.
        uint64_t endsSeen = 0;
        {
            const std::lock_guard<std::mutex> lock(ends.mutex);
            endsSeen = ends.count;
        }
        if (Mix_Playing(kOneShotChannel) == 0)
            return;
        const uint64_t mixed = device_.framesMixed();
        if (mixed != frames) {
            frames = mixed;
            lastProgress = Clock::now();
        } else if (Clock::now() - lastProgress > kStallGrace) {
            warnings_.warnOnce(
                "stalled device",
                "el dispositivo de sonido ha dejado de sonar; un sonido no pudo terminar",
                "the audio device stopped playing; a sound could not finish");
            return;
        }
        mixer.unlock();
        SDL_PumpEvents();
        {
            std::unique_lock<std::mutex> lock(ends.mutex);
            ends.ended.wait_for(lock, kPumpStep, [&] { return ends.count != endsSeen; });
        }
        mixer = device_.lockMixer();
    }
}

}  // namespace velozor
