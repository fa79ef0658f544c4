// The loss watch: notices that the mixer's device went away (SDL says so, or its callbacks
// stop), paces the tries to open one again and counts the reopenings. The reopening itself is
// the audio device's, on its watch thread.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>

#include "base/Language.h"

namespace velozor {

class DeviceLossWatch {
public:
    // A device whose callbacks stop this long is taken for lost. SDL's drivers report most losses
    // themselves (SDL_AUDIODEVICEREMOVED); this catches one that simply stops asking. Longer than
    // the pause an idle sound server may take after its first burst of requests.
    static constexpr int64_t kStallNanos = 4'000'000'000;
    // A lost device is tried again at most once a second.
    static constexpr int64_t kRetryNanos = 1'000'000'000;
    // The sounds hold where they were while the device is lost, for at most this long: enough
    // for a sound server to be restarted or a wireless headset to connect again, short of
    // keeping the game waiting in a synchronous sound for a device gone for good. Past it they
    // play on into nothing, and the game with them.
    static constexpr int64_t kLongestHoldNanos = 30'000'000'000;

    // `wake` is the watch thread's: SDL's word that the device went away wakes it at once. The
    // lines on standard error are in `language`.
    DeviceLossWatch(std::condition_variable& wake, Language language)
        : wake_(wake), language_(language) {}

    // Starts and stops listening for SDL's word that an output device went away. Listen before
    // the device opens, so that no removal goes unnoticed, and stop before the watch goes.
    void listen();
    void stopListening();

    // True while the mixer plays to no real device; any thread.
    bool lost() const { return lost_.load(); }
    // True while a loss is known or reported and not yet mended; the audio thread asks, since
    // it must not park then (the watch needs the mixer's lock to reopen).
    bool pending() const { return lost_.load() || removed_.load(); }
    // Game thread, mixer locked: a reopening at `nowNanos` left the mixer on the stand-in driver.
    void markLost(int64_t nowNanos) {
        lostAtNanos_ = nowNanos;
        lost_ = true;
    }
    // Mixer locked: whether the sounds still hold at `nowNanos` (see kLongestHoldNanos).
    bool holdsSounds(int64_t nowNanos) const {
        return lost_.load() && nowNanos - lostAtNanos_.load() < kLongestHoldNanos;
    }

    // Watch thread, each step at `nowNanos` (steady clock): notices a loss (one line on standard
    // error), from a removal or from callbacks that stopped while the device is `open` (the last
    // one at `lastCallbackNanos`), and says whether to try a reopening now: at once after a
    // loss (a restarted server is back quickly), then once a second.
    bool dueForReopening(int64_t nowNanos, bool open, int64_t lastCallbackNanos);
    // Watch thread, mixer locked: a reopening is tried at `nowNanos`.
    void tryingAt(int64_t nowNanos);
    // Watch thread, mixer locked: the reopening gave a real device again.
    void reopened();

    // How many times the device was opened again after it went away; any thread.
    int reopenings() const { return reopenings_.load(); }

private:
    static int SDLCALL noticeRemoval(void* self, SDL_Event* event);

    std::condition_variable& wake_;
    const Language language_;
    std::atomic<bool> removed_{false};     // SDL said our device went away
    std::atomic<bool> lost_{false};        // not playing to a real device now
    std::atomic<int64_t> lostAtNanos_{0};  // when the loss was noticed
    int64_t lastAttemptNanos_ = 0;         // watch thread only
    std::atomic<int> reopenings_{0};
};

}  // namespace velozor
