// Opening the mixer's audio device, the buffer check, and opening it again after a loss.
#include "sound/mixer/AudioDevice.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>

#include "sound/mixer/AudioDrivers.h"
#include "sound/mixer/BufferJudge.h"
#include "sound/mixer/OutputPath.h"

namespace velozor {

namespace {

// The buffer check doubles a size the device cannot keep up with and judges the new one in
// turn, up to this size (11.6 ms), which is not judged.
constexpr int kLargestBuffer = 512;
// The first callbacks fill the device's queue in a burst: the buffer check starts after them.
constexpr int kBurstCallbacks = 3;
// How often the watch looks: often while the buffer check runs or the device is lost (a lost
// device is tried again at most once a second), else once a second, which is enough to notice
// a stall; SDL's word that the device went away wakes it at once. Every wake-up costs the idle
// program processor time.
constexpr auto kWatchStep = std::chrono::milliseconds(100);
constexpr auto kQuietWatchStep = std::chrono::seconds(1);
constexpr int64_t kRetryNanos = 1'000'000'000;
// A device whose callbacks stop this long is taken for lost. SDL's drivers report most losses
// themselves (SDL_AUDIODEVICEREMOVED); this catches one that simply stops asking. Longer than
// the pause an idle sound server may take after its first burst of requests.
constexpr int64_t kStallNanos = 4'000'000'000;
// Silence this long (and nothing under way) before the audio thread parks. Waking it costs
// the next sound up to one buffer (1-3 ms measured), so a player who moves through the menu at
// a steady pace, or plays, never pays it; an idle second costs little processor time.
constexpr int kQuietFramesBeforeParking = AudioDevice::kFrequency;

std::atomic<bool> aDeviceIsOpen{false};

int64_t steadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::unique_ptr<AudioDevice> AudioDevice::open(int bufferFrames, std::string& error) {
    if (aDeviceIsOpen.exchange(true)) {
        error = "the sound back end is already open; close it before opening it again";
        return nullptr;
    }
    // The events subsystem carries SDL_AUDIODEVICEREMOVED; held here so that restarting the
    // audio subsystem after a loss never stops it (and with it the watch on removals).
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0 || !startAudioOnTheQuickestPath()) {
        error = std::string("cannot start SDL's audio (") + SDL_GetError() +
                "); check that a sound system is installed and running, then start Velozor again";
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
        aDeviceIsOpen = false;
        return nullptr;
    }
    // From here on the destructor undoes whatever was done.
    std::unique_ptr<AudioDevice> device(new AudioDevice());
    if (!device->start(bufferFrames, error))
        return nullptr;
    return device;
}

bool AudioDevice::openWith(int frames, std::string& error, bool judge) {
    // The counting callback is in place before the device starts, so framesMixed() counts
    // every frame the device is given, from the first.
    callbacks_ = 0;
    worstGapNanos_ = 0;
    windowStartNanos_ = 0;
    windowRestart_ = false;
    bufferJudge_ = BufferJudge{};
    lastCallbackNanos_ = steadyNanos();
    checking_ = judge;  // after the judge's reset: the watch thread judges from here on
    const AudioDriver& driver = currentAudioDriver();
    askServerForLowLatency(driver, frames, latencySetHere_);
    Mix_SetPostMix(afterMix, this);
    // No allowed changes: SDL converts to the hardware's format, so the mixer's own format,
    // and with it the default tone, the decoded samples already held and the disk driver's
    // output, is always the same.
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, frames, nullptr, 0) != 0) {
        error = std::string("cannot open the audio device (") + Mix_GetError() +
                "); connect or enable a sound output and start Velozor again";
        Mix_SetPostMix(nullptr, nullptr);
        return false;
    }
    bufferFrames_ = frames;
    open_ = true;
    mixerLock_.allowParking(driver.parksThroughSilence);
    return true;
}

void AudioDevice::closeMixer() {
    if (!open_)
        return;
    mixerLock_.stopParking();  // SDL waits for the audio thread to end
    Mix_CloseAudio();          // returns once the audio thread has stopped
    Mix_SetPostMix(nullptr, nullptr);
    open_ = false;
}

bool AudioDevice::start(int bufferFrames, std::string& error) {
    if (const char* driver = SDL_GetCurrentAudioDriver())
        driver_ = driver;
    const int asked = bufferFrames > 0 ? bufferFrames : bufferFramesFromEnvironment();
    const AudioDriver& driver = audioDriverNamed(driver_.c_str());
    const bool judge = asked == 0 && driver.bufferChecked;
    // Before the device opens, so that no removal goes unnoticed.
    SDL_AddEventWatch(noticeRemoval, this);
    const int first = asked > 0 ? asked : driver.firstBufferFrames;
    if (!openWith(first, error, judge))
        return false;
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        std::cerr << "velozor: MP3 decoding is unavailable (" << Mix_GetError()
                  << "); the background music will not play\n";
    }
    watcher_ = std::thread(&AudioDevice::watch, this);
    return true;
}

void AudioDevice::stopWatching() {
    {
        std::lock_guard<std::mutex> lock(watchMutex_);
        stopWatch_ = true;
    }
    watchWake_.notify_all();
    if (watcher_.joinable())
        watcher_.join();
    SDL_DelEventWatch(noticeRemoval, this);
}

AudioDevice::~AudioDevice() {
    stopWatching();
    closeMixer();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    aDeviceIsOpen = false;
}

bool AudioDevice::reopenMixer(int frames, const std::string& driver, bool judge) {
    // Closing the mixer frees its channels; the ones handed out keep their numbers.
    const int channels = Mix_AllocateChannels(-1);
    closeMixer();
    std::string error;
    bool opened = false;
    if (driver.empty()) {
        opened = openWith(frames, error, judge);
    } else {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened = startAudioDriver(driver) && openWith(frames, error, judge);
    }
    if (!opened) {
        // SDL_mixer must not be used while closed, and the game goes on: mix into nothing on
        // the dummy driver until a device is there again.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (!startAudioDriver(standInAudioDriver().name) || !openWith(frames, error, false)) {
            std::cerr << "velozor: cannot keep the mixer running (" << error
                      << "); the game goes on without sound\n";
        }
    }
    if (open_) {
        Mix_AllocateChannels(channels);
        Mix_ReserveChannels(1);  // the one-shot's channel, as ChannelPool keeps it
    }
    return opened;
}

void AudioDevice::beforeSoundStarts() {
    if (!tooSlow_.load() || Mix_Playing(-1) > 0 || Mix_PlayingMusic() != 0)
        return;
    tooSlow_ = false;
    // Each new size is judged in turn, up to kLargestBuffer: from 128 frames this runs at most
    // twice.
    const int slow = bufferFrames_.load();
    const int safe = 2 * slow;
    const bool judgeAgain = safe < kLargestBuffer;
    if (reopenMixer(safe, "", judgeAgain)) {
        if (judgeAgain)
            watchWake_.notify_all();  // from its quiet pace to the check's
        std::cerr << "velozor: the audio device does not keep up with " << slow
                  << "-frame buffers; using " << safe << " frames ("
                  << std::round(safe * 10'000.0 / kFrequency) / 10
                  << (judgeAgain ? " ms), watched in turn\n" : " ms) from now on\n");
    } else {
        lost_ = true;  // on the dummy driver now: the watch looks for a device again
    }
}

void AudioDevice::watch() {
    std::unique_lock<std::mutex> lock(watchMutex_);
    while (!stopWatch_) {
        watchWake_.wait_for(lock, checking_.load() || lost_.load() ? kWatchStep : kQuietWatchStep);
        if (stopWatch_)
            break;
        if (checking_.load()) {
            BufferWindow window;
            window.bufferFrames = bufferFrames_.load();
            window.frequency = kFrequency;
            // The window opens at the callback after the burst, which stores its start.
            if (callbacks_.load() > kBurstCallbacks && windowStartNanos_.load() != 0) {
                window.elapsedNanos = lastCallbackNanos_.load() - windowStartNanos_.load();
                window.framesMixed = framesMixed_.load() - windowStartFrames_.load();
                window.worstGapNanos = worstGapNanos_.load();
            }
            const BufferVerdict verdict = bufferJudge_.judge(window);
            if (verdict == BufferVerdict::WatchAgain) {
                windowStartNanos_ = 0;  // watching again from the next callback
                windowRestart_ = true;
            } else if (verdict != BufferVerdict::Watching) {
                checking_ = false;
                tooSlow_ = verdict == BufferVerdict::TooSlow;
            }
        }
        if (shouldReopen(steadyNanos())) {
            lock.unlock();
            reopenAfterLoss();
            lock.lock();
        }
    }
}

bool AudioDevice::shouldReopen(int64_t now) {
    if (!lost_.load()) {
        if (removed_.exchange(false)) {
            std::cerr << "velozor: the audio device went away; the game goes on and the sound "
                         "comes back as soon as a device is there again\n";
        } else if (open_ && now - lastCallbackNanos_.load() > kStallNanos) {
            std::cerr << "velozor: the audio device stopped playing; opening it again\n";
        } else {
            return false;
        }
        lost_ = true;
        lastAttemptNanos_ = 0;  // the first try at once: a restarted server is back quickly
    }
    return now - lastAttemptNanos_ >= kRetryNanos;
}

void AudioDevice::reopenAfterLoss() {
    // Never waits for the game's thread: when it is using the mixer (a synchronous sound
    // included) the watch tries again at its next step.
    const std::unique_lock<std::mutex> mixer = mixerLock_.tryLock();
    if (!mixer.owns_lock())
        return;
    lastAttemptNanos_ = steadyNanos();
    removed_ = false;
    // A check under way goes on with the new device.
    if (reopenMixer(bufferFrames_.load(), driver_, checking_.load())) {
        lost_ = false;
        ++reopenings_;
        std::cerr << "velozor: the audio device is back\n";
    }
}

void AudioDevice::afterMix(void* self, Uint8* stream, int bytes) {
    auto& device = *static_cast<AudioDevice*>(self);
    const auto frames = static_cast<uint64_t>(bytes) / (kChannels * sizeof(int16_t));
    const uint64_t total =
        device.framesMixed_.fetch_add(frames, std::memory_order_acq_rel) + frames;
    const int64_t now = steadyNanos();
    const int64_t before = device.lastCallbackNanos_.exchange(now);
    const int count = device.callbacks_.fetch_add(1);
    if (!device.checking_.load(std::memory_order_relaxed)) {
        // Not while the buffer check watches the callbacks' pace, nor while the watch wants
        // the lock to open a lost device again.
        const bool idle = device.mixerLock_.parkingAllowed() && !device.lost_.load() &&
                          !device.removed_.load() && quiet(stream, bytes);
        device.mixerLock_.afterBuffer(idle, static_cast<int>(frames), kQuietFramesBeforeParking);
        return;
    }
    if (count == kBurstCallbacks ||
        (count > kBurstCallbacks && device.windowRestart_.exchange(false))) {
        device.worstGapNanos_.store(0);
        device.windowStartFrames_.store(total);
        device.windowStartNanos_.store(now);
    } else if (count > kBurstCallbacks && now - before > device.worstGapNanos_.load()) {
        device.worstGapNanos_.store(now - before);
    }
}

bool AudioDevice::quiet(const Uint8* stream, int bytes) {
    // On the audio thread, inside SDL_mixer's callback: both calls are safe there.
    if (Mix_Playing(-1) > 0 || Mix_PlayingMusic() != 0)
        return false;
    return std::all_of(stream, stream + bytes, [](Uint8 byte) { return byte == 0; });
}

int SDLCALL AudioDevice::noticeRemoval(void* self, SDL_Event* event) {
    // Runs on the thread that reports the loss (SDL's audio thread): only a flag is set here.
    // A device SDL had not opened is reported with `which` 0; ours is the only open output.
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
        event->adevice.which != 0) {
        auto* device = static_cast<AudioDevice*>(self);
        device->removed_ = true;
        device->watchWake_.notify_all();
    }
    return 0;
}

}  // namespace velozor
