// The verdict on a device buffer size.
#include "sound/mixer/BufferJudge.h"

namespace velozor {

BufferVerdict judgeBuffers(const BufferWindow& window) {
    if (window.elapsedNanos < kBufferWindowNanos)
        return BufferVerdict::Watching;
    const int64_t period = int64_t{window.bufferFrames} * 1'000'000'000 / window.frequency;
    const int64_t realTimeFrames = window.elapsedNanos * window.frequency / 1'000'000'000;
    const int64_t behind = realTimeFrames - static_cast<int64_t>(window.framesMixed);
    if (window.worstGapNanos > 2 * period && behind > window.bufferFrames)
        return BufferVerdict::TooSlow;
    return BufferVerdict::KeepsUp;
}

BufferVerdict BufferJudge::judge(const BufferWindow& window) {
    const BufferVerdict verdict = judgeBuffers(window);
    if (verdict == BufferVerdict::TooSlow && ++slowWindows_ < kSlowWindowsInARow)
        return BufferVerdict::WatchAgain;
    return verdict;
}

}  // namespace velozor
