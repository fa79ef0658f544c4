// The game's real sound back end: the four sound calls carried out with SDL2_mixer, on the
// audio device SDL chooses. Each call goes to the part that does that job: the one-shot
// channel, the command interpreter (over the mixer's devices) or the short paths.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Language.h"
#include "sound/MciInterpreter.h"
#include "sound/MusicErrorBoxes.h"
#include "sound/SoundPlatform.h"
#include "sound/WarningLog.h"
#include "sound/mixer/AudioDevice.h"
#include "sound/mixer/ChannelPool.h"
#include "sound/mixer/MixerDevices.h"
#include "sound/mixer/OneShotChannel.h"
#include "sound/mixer/SampleCache.h"

namespace velozor {

struct MixerOptions {
    // Frames per device buffer. 0 lets the back end decide (the driver's first size, grown
    // while the device does not keep up; see AudioDevice::open), or the player through
    // VELOZOR_AUDIO_BUFFER_FRAMES; an explicit value here takes precedence over both.
    int bufferFrames = 0;
    // How mciExecute shows a failure's text (naming the file; see MusicErrorBoxes.h) to the
    // player; returns once the player has dismissed it. Empty means an SDL message box (or
    // nothing where no box can be shown).
    std::function<void(const std::string& message)> showError;
    // The language of those texts, of open()'s failures and of the lines on standard error: the
    // player's.
    Language language = Language::Spanish;
};

class MixerPlatform final : public SoundPlatform {
public:
    // Opens the audio device (see AudioDevice::open) and returns the back end; at most one
    // may exist at a time. On failure returns nullptr and sets `error` to one line saying
    // what failed and what to do.
    static std::unique_ptr<MixerPlatform> open(MixerOptions options, std::string& error);
    // Stops every sound, closes every device and then the audio device.
    ~MixerPlatform() override;

    MixerPlatform(const MixerPlatform&) = delete;
    MixerPlatform& operator=(const MixerPlatform&) = delete;

    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    int32_t mciExecute(const char* command) override;
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

    // Pauses every sound for the end of the process. Unlike the calls above it may be made from
    // any thread, while the game's own thread waits in a synchronous sound too (which then waits
    // on until the process ends). It takes the mixer's lock, waking the audio thread asleep
    // through silence, so it returns once the call under way (if any) is done, and after half a
    // second at most.
    void silence();

    // The frames per buffer the device runs with.
    int bufferFrames() const { return device_->bufferFrames(); }
    // Frames mixed since the device was opened; see AudioDevice::framesMixed.
    uint64_t framesMixed() const { return device_->framesMixed(); }
    // How many times the audio device was opened again after it went away.
    int deviceReopenings() const { return device_->reopenings(); }
    const SampleCache& sampleCache() const { return cache_; }

private:
    MixerPlatform(std::unique_ptr<AudioDevice> device, MixerOptions options);

    // Declared in the order they are built; each part is torn down before the ones it uses,
    // and the audio device last.
    std::unique_ptr<AudioDevice> device_;
    MixerOptions options_;
    WarningLog warnings_;
    SampleCache cache_;
    ChannelPool channels_;
    OneShotChannel oneShot_;
    MixerDevices devices_;
    MciInterpreter interpreter_;

    MusicErrorBoxes musicBoxes_;
};

}  // namespace velozor
