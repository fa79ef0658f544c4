// Measuring the mixer's callbacks in windows for the buffer check, and growing the buffer.
#include "sound/mixer/BufferCheck.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "base/ErrorLine.h"

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

void BufferCheck::announce(int bufferFrames, const Growth& growth, Language language) const {
    std::ostringstream written;
    written << std::round(growth.frames * 10'000.0 / frequency_) / 10;
    std::string millis = written.str();
    if (language == Language::Spanish)
        std::replace(millis.begin(), millis.end(), '.', ',');  // "5,8 ms"
    const std::string frames = std::to_string(growth.frames);
    const std::string after =
        growth.judgedInTurn ? inLanguage(language, ", vigiladas a su vez", ", watched in turn")
                            : inLanguage(language, " de aquí en adelante", " from now on");
    writeErrorLine(language,
                   "el dispositivo de sonido no da abasto con búferes de {} tramas; se usan {} "
                   "tramas ({} ms){}",
                   "the audio device does not keep up with {}-frame buffers; using {} frames ({} "
                   "ms){}",
                   {std::to_string(bufferFrames), frames, millis, after});
}

}  // namespace velozor
