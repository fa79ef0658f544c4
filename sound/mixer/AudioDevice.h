// The mixer's audio output: SDL's audio subsystem and the default device, opened through
// SDL2_mixer, and opened again with a larger buffer or after a loss. The only code that starts
// SDL's audio (on the path OutputPath.h chooses), so a failure to start it reads the same
// wherever it happens. Its parts: the buffer check (BufferCheck.h), the loss watch
// (DeviceLossWatch.h), the mixer's lock, where the audio thread parks (MixerLock.h), and what
// sounds, which an opening takes up again (SoundsUnderWay.h).
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/Language.h"
#include "sound/mixer/BufferCheck.h"
#include "sound/mixer/DeviceLossWatch.h"
#include "sound/mixer/MixerLock.h"
#include "sound/mixer/SoundsUnderWay.h"

namespace velozor {

class AudioDevice {
public:
    // Output format of the mixer. The device is opened with no allowed changes, so SDL
    // converts to whatever the hardware takes and every sound is mixed in this format.
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;  // interleaved signed 16-bit, native byte order

    // Starts SDL's audio subsystem if needed, opens the default audio device and starts the
    // mixer's decoders; at most one may be open at a time (SDL2_mixer has one device). On
    // failure returns nullptr and sets `error` to one line saying what failed and what to do,
    // in `language`.
    //
    // Buffer size: `bufferFrames` when above 0; else VELOZOR_AUDIO_BUFFER_FRAMES when set to a
    // power of two from 64 to 8192; else the driver's first size (AudioDrivers.h), watched by
    // the buffer check on the drivers whose row says so. A size the device cannot keep up with
    // is doubled up to BufferCheck::kLargestBuffer, but only from beforeSoundStarts() while
    // nothing sounds, so no sound is cut.
    //
    // Driver: the one OutputPath.h chooses, the player's SDL_AUDIODRIVER first.
    //
    // Returns without waiting for the device's first buffers: start-up time counts.
    static std::unique_ptr<AudioDevice> open(int bufferFrames, Language language,
                                             std::string& error);
    // Stops the watch, closes the device (returning once the audio thread has stopped) and
    // stops SDL's audio.
    ~AudioDevice();

    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Every use of SDL_mixer from another thread than the audio thread holds this lock; taking it
    // wakes the audio thread when it sleeps through silence (see MixerLock.h). The watch thread
    // takes it to reopen a device that went away, and SDL_mixer must not be used while its
    // device is closed. Held only for a call's own work: never across a message box, nor while
    // a synchronous sound waits for its end.
    std::unique_lock<std::mutex> lockMixer() { return mixerLock_.lock(); }
    // As lockMixer(), but gives up after `limit` (the lock returned then owns nothing).
    std::unique_lock<std::mutex> lockMixerWithin(std::chrono::milliseconds limit) {
        return mixerLock_.lockWithin(limit);
    }
    // Ends the audio thread's sleeps through silence for good: call before using SDL_mixer
    // without lockMixer(), as the parts that come down with the back end do.
    void stopParking() { mixerLock_.stopParking(); }

    // Called with the mixer locked before a sound call: reopens the device with twice the
    // frames when the buffer check found that it cannot keep up and nothing sounds now.
    void beforeSoundStarts();

    // Every play of a channel or of the music goes through these, mixer locked, so that an
    // opening takes up what sounded. While the device is lost they hold where they are (for at
    // most DeviceLossWatch::kLongestHoldNanos), so a synchronous sound is heard once it is back.
    SoundsUnderWay& sounds() { return sounds_; }

    // Ends the watch: the device is not reopened after this. Call it before tearing down the
    // parts that use the mixer, so no reopening runs under them.
    void stopWatching();

    // The frames per buffer the device runs with.
    int bufferFrames() const { return bufferFrames_.load(); }
    // Frames the mixer has produced since the device was opened; advances on the audio thread,
    // after each buffer is mixed, and keeps counting across reopenings. SDL itself may play a
    // few buffers of silence while the device starts, before the first mix; those are not
    // counted. A device that went away keeps being mixed (into nothing) at its own pace.
    uint64_t framesMixed() const { return framesMixed_.load(std::memory_order_acquire); }
    // How many times the device was opened again after it went away.
    int reopenings() const { return lossWatch_.reopenings(); }

private:
    explicit AudioDevice(Language language) : language_(language) {}
    // Opens the device and starts the watch; false with `error` set to SDL_mixer's reason.
    bool start(int bufferFrames, std::string& error);
    // Opens the mixer with `frames` per buffer on SDL's current driver; the buffer check judges
    // the new device when `judge` holds, and stops judging otherwise (see BufferCheck::restart
    // for the threads it may run on). False with `error` set to SDL_mixer's reason.
    bool openWith(int frames, std::string& error, bool judge);
    void closeMixer();
    // Closes the mixer and opens it again with `frames` per buffer, restarting SDL's audio on
    // `driver` first unless it is empty, and takes up every sound where it was. When no device
    // opens, the mixer runs on the stand-in driver, unjudged, so that the game's calls stay safe;
    // returns false then. `judge` as for openWith, for the device asked for. Mixer locked.
    bool reopenMixer(int frames, const std::string& driver, bool judge);
    // The watch thread: each step, the buffer check judges and the loss watch looks.
    void watch();
    // Watch thread: opens the device again after a loss, holding the sounds meanwhile.
    void reopenAfterLoss();
    // SDL_mixer's post-mix callback, on the audio thread.
    static void afterMix(void* self, Uint8* stream, int bytes);
    // True when the buffer just mixed is silence and no sound is under way.
    static bool quiet(const Uint8* stream, int bytes);

    const Language language_;  // of the lines on standard error
    std::atomic<int> bufferFrames_{0};
    std::atomic<bool> open_{false};  // written with the mixer locked
    std::string driver_;             // SDL's audio driver that opened the device first
    bool latencySetHere_ = false;    // PULSE_LATENCY_MSEC is ours, not the player's

    // Written by the audio thread after each mix.
    std::atomic<uint64_t> framesMixed_{0};
    std::atomic<int64_t> lastCallbackNanos_{0};  // steady clock

    MixerLock mixerLock_;

    std::thread watcher_;
    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool stopWatch_ = false;  // guarded by watchMutex_

    SoundsUnderWay sounds_{kChannels * sizeof(int16_t)};  // mixer locked, but for afterBuffer
    BufferCheck bufferCheck_{kFrequency, framesMixed_, lastCallbackNanos_};
    DeviceLossWatch lossWatch_{watchWake_, language_};
};

}  // namespace velozor
