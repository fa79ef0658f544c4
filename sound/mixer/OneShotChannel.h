// The one-shot sound of sndPlaySoundA on SDL2_mixer: one file at a time on its own channel,
// the default tone in place of a file that cannot be played, and the wait of a synchronous
// sound.
#pragma once

#include <SDL_mixer.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "sound/WarningLog.h"
#include "sound/mixer/AudioDevice.h"
#include "sound/mixer/SampleCache.h"

namespace velozor {

class OneShotChannel {
public:
    // Makes the default tone; the audio device must be open. `device`, `cache` and `warnings`
    // must outlive the channel.
    OneShotChannel(AudioDevice& device, SampleCache& cache, WarningLog& warnings);

    OneShotChannel(const OneShotChannel&) = delete;
    OneShotChannel& operator=(const OneShotChannel&) = delete;

    // sndPlaySoundA, with `mixer` (the device's lock) held: plays the file the game names by
    // `soundName` (its own path), cutting off the one before, or stops the one-shot when
    // `soundName` is null. With SND_SYNC in `flags` returns once the sound has ended, letting go
    // of `mixer` while it waits (and holding it again on return), so that a lost device can be
    // opened again meanwhile; a sound held while the device is lost has not ended. Returns 1, or
    // 0 when the default tone played instead or the channel failed. A device that stops
    // consuming samples for three seconds ends the wait (with a warning), since the sound would
    // never end.
    int32_t play(const char* soundName, uint32_t flags, std::unique_lock<std::mutex>& mixer);

private:
    void waitUntilEnded(std::unique_lock<std::mutex>& mixer);

    AudioDevice& device_;
    SampleCache& cache_;
    WarningLog& warnings_;
    std::vector<int16_t> defaultToneSamples_;  // owned here; the chunk below points into it
    SharedChunk defaultTone_;
};

}  // namespace velozor
