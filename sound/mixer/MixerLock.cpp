// The mixer's lock and the audio thread's sleep through silence.
#include "sound/mixer/MixerLock.h"

#include <thread>

namespace velozor {

namespace {

constexpr auto kTryStep = std::chrono::milliseconds(1);

}  // namespace

MixerLock::Waiting::Waiting(MixerLock& lock) : lock_(lock) {
    {
        const std::lock_guard<std::mutex> park(lock_.parkMutex_);
        ++lock_.waiting_;
    }
    lock_.wake_.notify_all();
}

MixerLock::Waiting::~Waiting() {
    const std::lock_guard<std::mutex> park(lock_.parkMutex_);
    --lock_.waiting_;
}

std::unique_lock<std::mutex> MixerLock::lock() {
    const Waiting waiting(*this);
    return std::unique_lock<std::mutex>(mutex_);
}

std::unique_lock<std::mutex> MixerLock::lockWithin(std::chrono::milliseconds limit) {
    const Waiting waiting(*this);
    std::unique_lock<std::mutex> held(mutex_, std::defer_lock);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!held.try_lock() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kTryStep);
    return held;
}

void MixerLock::afterBuffer(bool quiet, int frames, int parkAfterFrames) {
    if (!quiet) {
        quietFrames_ = 0;
        return;
    }
    if (quietFrames_ < parkAfterFrames)
        quietFrames_ += frames;
    if (quietFrames_ < parkAfterFrames)
        return;
    // Held while parked: no other thread uses the mixer (and so takes SDL's device lock, which
    // this thread holds) without waking this one first.
    const std::unique_lock<std::mutex> held(mutex_, std::try_to_lock);
    if (!held.owns_lock())
        return;
    std::unique_lock<std::mutex> park(parkMutex_);
    if (!allowed_ || waiting_ > 0)
        return;
    wake_.wait_for(park, kLongestPark, [this] { return waiting_ > 0 || !allowed_; });
}

void MixerLock::stopParking() {
    allowParking(false);
}

void MixerLock::allowParking(bool allowed) {
    {
        const std::lock_guard<std::mutex> park(parkMutex_);
        allowed_ = allowed;
    }
    wake_.notify_all();
}

}  // namespace velozor
