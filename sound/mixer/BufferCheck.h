// The buffer-size check: watches the mixer's callbacks while a newly opened device plays its
// first sounds and, when the device cannot keep up with its buffer, asks for twice the frames.
// The verdict on each window is BufferJudge's; this part measures the windows and keeps the
// outcome.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/Language.h"

#include "sound/mixer/BufferJudge.h"

namespace velozor {

class BufferCheck {
public:
    // A size the device cannot keep up with is doubled and the new one judged in turn, up to
    // this size (11.6 ms at 44.1 kHz), which is not judged.
    static constexpr int kLargestBuffer = 512;

    // What a too-slow verdict leads to.
    struct Growth {
        int frames;         // the next buffer size
        bool judgedInTurn;  // the check watches the device again at that size
    };

    // `frequency` in frames per second; `framesMixed` and `lastCallbackNanos` (steady clock) are
    // the device's counts, written by the audio thread after each mix, which outlive the check.
    BufferCheck(int frequency, const std::atomic<uint64_t>& framesMixed,
                const std::atomic<int64_t>& lastCallbackNanos)
        : frequency_(frequency), framesMixed_(framesMixed), lastCallbackNanos_(lastCallbackNanos) {}

    // Forgets every window and judges the device about to open when `judge` holds, else stops
    // judging. Before that device's first callback, and either on the watch thread or while
    // watching() is false (the judge is the watch thread's).
    void restart(bool judge);
    // True while the check watches the callbacks; any thread.
    bool watching() const { return watching_.load(); }

    // Audio thread, after each mix while watching(): the callback at `nowNanos` brought the
    // frames mixed to `totalFrames`; the one before it came at `previousNanos`.
    void afterBuffer(uint64_t totalFrames, int64_t nowNanos, int64_t previousNanos);

    // Watch thread, every step: judges the window so far on a device of `bufferFrames` per
    // buffer, and ends the check once it has a verdict. Does nothing while not watching().
    void judge(int bufferFrames);

    // Game thread, mixer locked: true once the device was found too slow, until grow().
    bool foundTooSlow() const { return tooSlow_.load(); }
    // Takes the too-slow verdict on a device of `bufferFrames` and says what to open instead.
    Growth grow(int bufferFrames);
    // One line on standard error, in `language`, for the growth from `bufferFrames`, once the
    // device runs at it.
    void announce(int bufferFrames, const Growth& growth, Language language) const;

private:
    const int frequency_;
    const std::atomic<uint64_t>& framesMixed_;
    const std::atomic<int64_t>& lastCallbackNanos_;

    std::atomic<bool> watching_{false};
    std::atomic<bool> tooSlow_{false};
    BufferJudge judge_;  // watch thread only (and restart())

    // Written by the audio thread while watching.
    std::atomic<int> callbacks_{0};  // since the device was opened
    std::atomic<int64_t> windowStartNanos_{0};
    std::atomic<uint64_t> windowStartFrames_{0};
    std::atomic<int64_t> worstGapNanos_{0};   // within the window
    std::atomic<bool> windowRestart_{false};  // the watch wants a new window from the next callback
};

}  // namespace velozor
