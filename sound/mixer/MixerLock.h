// The lock every use of SDL_mixer holds, which the audio thread also takes while it sleeps
// through silence.
//
// SDL 2.26 keeps a device's audio thread running while the device is paused: it wakes for
// every buffer (about 340 times a second at 128 frames) and costs the idle program a few
// percent of a core on a sound server. So, once nothing has sounded for a while, the audio
// thread parks inside the mixer's callback instead, holding this lock, until a use of the mixer
// wants it (or a second passes, so that a device lost meanwhile is still noticed). The buffer it
// holds back is silence; the sound server plays silence meanwhile.
//
// Parking inside the callback holds SDL's own device lock, which every SDL_mixer call takes:
// hence the rule that every such call from another thread goes through lock() or lockWithin(),
// which wake the audio thread first, and that stopParking() comes before the device closes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velozor {

class MixerLock {
public:
    // The longest the audio thread sleeps at a time: a device lost while nothing sounds is
    // noticed by its next buffer.
    static constexpr auto kLongestPark = std::chrono::seconds(1);

    // Wakes the audio thread if it is parked and waits for the lock.
    std::unique_lock<std::mutex> lock();
    // As lock(), but gives up after `limit`: the lock returned then owns nothing.
    std::unique_lock<std::mutex> lockWithin(std::chrono::milliseconds limit);

    // Called by the audio thread after each buffer of `frames` is mixed. `quiet`: the buffer is
    // silence, nothing plays, and parking is allowed (the caller skips its silence check else).
    // Parks once at least `parkAfterFrames` of silence came in a row and the lock is free, until
    // lock() is called, parking stops or kLongestPark passes.
    void afterBuffer(bool quiet, int frames, int parkAfterFrames);

    // Wakes a parked audio thread for good: call before the device closes or the mixer is used
    // without lock().
    void stopParking();
    // Set when a device opens: true on the drivers where parking saves processor time (their
    // row in AudioDrivers.h says so).
    void allowParking(bool allowed);
    bool parkingAllowed() const { return allowed_.load(std::memory_order_relaxed); }

private:
    // While it lives, the audio thread does not park, and leaves a park it is in.
    class Waiting {
    public:
        explicit Waiting(MixerLock& lock);
        ~Waiting();
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        MixerLock& lock_;
    };

    std::mutex mutex_;
    std::mutex parkMutex_;
    std::condition_variable wake_;
    int waiting_ = 0;                   // threads inside lock(); guarded by parkMutex_
    std::atomic<bool> allowed_{false};  // written under parkMutex_
    int quietFrames_ = 0;               // audio thread only
};

}  // namespace velozor
