// The mixer back end's one-shot sound.
#include "sound/mixer/OneShotChannel.h"

#include <chrono>
#include <optional>
#include <string>

#include "sound/SoundPlatform.h"
#include "sound/mixer/AudioDevice.h"
#include "sound/mixer/ChannelPool.h"
#include "sound/mixer/DefaultTone.h"
#include "sound/mixer/PathResolver.h"

namespace velozor {

OneShotChannel::OneShotChannel(SampleCache& cache, WarningLog& warnings)
    : cache_(cache),
      warnings_(warnings),
      defaultToneSamples_(makeDefaultTone(AudioDevice::kFrequency, AudioDevice::kChannels)),
      defaultTone_(
          Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(defaultToneSamples_.data()),
                            static_cast<Uint32>(defaultToneSamples_.size() * sizeof(int16_t))),
          Mix_FreeChunk) {}

int32_t OneShotChannel::play(const char* soundName, uint32_t flags) {
    if (soundName == nullptr) {
        Mix_HaltChannel(kOneShotChannel);
        playing_.reset();
        return 1;
    }
    SharedChunk chunk;
    if (const std::optional<ResolvedFile> file = resolveGamePath(soundName)) {
        uint32_t error = 0;
        std::string detail;
        chunk = cache_.load(*file, error, detail);
        if (!chunk) {
            warnings_.warnOnce(file->path, "cannot play " + file->path + " (" + detail +
                                               "); the default tone plays instead");
        }
    } else {
        warnings_.warnOnce(soundName, std::string("sound file not found: ") + soundName +
                                          "; the default tone plays instead");
    }
    const int32_t result = chunk ? 1 : 0;
    if (!chunk)
        chunk = defaultTone_;

    // Playing on the channel cuts off whatever it played; only then is the old chunk let go.
    if (Mix_PlayChannel(kOneShotChannel, chunk.get(), 0) < 0) {
        warnings_.warnOnce("one-shot channel",
                           std::string("the one-shot channel failed: ") + Mix_GetError());
        return 0;
    }
    playing_ = chunk;
    if ((flags & SND_ASYNC) == 0)
        waitUntilEnded(*chunk);
    return result;
}

void OneShotChannel::waitUntilEnded(const Mix_Chunk& chunk) {
    // Keeps the window answering the system while the caller is blocked; input stays queued
    // for the game to read, in order, after the sound. A device that stops consuming samples
    // would keep the channel playing forever, so the wait ends a second after the sound's own
    // length at the latest.
    using Clock = std::chrono::steady_clock;
    const auto length = std::chrono::nanoseconds(static_cast<int64_t>(chunk.alen) /
                                                 (AudioDevice::kChannels * sizeof(int16_t)) *
                                                 1'000'000'000 / AudioDevice::kFrequency);
    const Clock::time_point deadline = Clock::now() + length + std::chrono::seconds(1);
    while (Mix_Playing(kOneShotChannel) != 0) {
        if (Clock::now() > deadline) {
            warnings_.warnOnce("stalled device",
                               "the audio device stopped playing; a sound could not finish");
            return;
        }
        SDL_PumpEvents();
        SDL_Delay(1);
    }
}

}  // namespace velozor
