// Measuring the mixer's callbacks in windows for the buffer check, and growing the buffer.
#include "sound/mixer/BufferCheck.h"

#include <cmath>
#include <iostream>

namespace velozor {

namespace {

// The first callbacks fill the device's queue in a burst: the window opens after them.
constexpr int kBurstCallbacks = 3;

}  // namespace

void BufferCheck::restart(bool judge) {
    callbacks_ = 0;
    worstGapNanos_ = 0;
    windowStartNanos_ = 0;
    windowRestart_ = false;
    judge_ = BufferJudge{};
    watching_ = judge;  // after the judge's reset: the watch thread judges from here on
}

void BufferCheck::afterBuffer(uint64_t totalFrames, int64_t nowNanos, int64_t previousNanos) {
    const int count = callbacks_.fetch_add(1);
    if (count == kBurstCallbacks || (count > kBurstCallbacks && windowRestart_.exchange(false))) {
        worstGapNanos_.store(0);
        windowStartFrames_.store(totalFrames);
        windowStartNanos_.store(nowNanos);
    } else if (count > kBurstCallbacks && nowNanos - previousNanos > worstGapNanos_.load()) {
        worstGapNanos_.store(nowNanos - previousNanos);
    }
}

void BufferCheck::judge(int bufferFrames) {
    if (!watching_.load())
        return;
    BufferWindow window;
    window.bufferFrames = bufferFrames;
    window.frequency = frequency_;
    // The window opens at the callback after the burst, which stores its start.
    if (callbacks_.load() > kBurstCallbacks && windowStartNanos_.load() != 0) {
        window.elapsedNanos = lastCallbackNanos_.load() - windowStartNanos_.load();
        window.framesMixed = framesMixed_.load() - windowStartFrames_.load();
        window.worstGapNanos = worstGapNanos_.load();
    }
    const BufferVerdict verdict = judge_.judge(window);
    if (verdict == BufferVerdict::WatchAgain) {
        windowStartNanos_ = 0;  // watching again from the next callback
        windowRestart_ = true;
    } else if (verdict != BufferVerdict::Watching) {
        watching_ = false;
        tooSlow_ = verdict == BufferVerdict::TooSlow;
    }
}

BufferCheck::Growth BufferCheck::grow(int bufferFrames) {
    tooSlow_ = false;
    // From the first size of a sound server this runs at most twice.
    const int frames = 2 * bufferFrames;
    return {frames, frames < kLargestBuffer};
}

void BufferCheck::announce(int bufferFrames, const Growth& growth) const {
    std::cerr << "velozor: the audio device does not keep up with " << bufferFrames
              << "-frame buffers; using " << growth.frames << " frames ("
              << std::round(growth.frames * 10'000.0 / frequency_) / 10
              << (growth.judgedInTurn ? " ms), watched in turn\n" : " ms) from now on\n");
}

}  // namespace velozor
