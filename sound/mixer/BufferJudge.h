// The verdict on a device buffer size: does the device keep up with it? Judged from the mixer's
// callbacks over a short window while the first sounds play; free of SDL, so it can be tested
// with made-up timings.
#pragma once

#include <cstdint>

namespace velozor {

// What the mixer's callbacks did since the window opened (the first few callbacks fill the
// device's queue in a burst and are left out).
struct BufferWindow {
    int bufferFrames = 0;       // frames per callback
    int frequency = 0;          // frames per second
    int64_t elapsedNanos = 0;   // from the window's opening to its latest callback
    uint64_t framesMixed = 0;   // by the callbacks after the opening, up to that latest one
    int64_t worstGapNanos = 0;  // the longest time between two callbacks in the window
};

enum class BufferVerdict {
    Watching,    // the window is still too short to tell
    WatchAgain,  // this window fell behind: open a new one from the next callback
    KeepsUp,
    TooSlow,  // the device ran dry: use a larger buffer
};

// How long the window lasts.
inline constexpr int64_t kBufferWindowNanos = 150'000'000;
// How many windows in a row must be too slow before the buffer grows. A device that cannot
// keep up falls behind in every window; a sound server whose stream starts slowly only in its
// first (a PulseAudio null sink that had been idle asked for its first buffers about 20 ms apart
// in one start of twelve, then kept pace).
inline constexpr int kSlowWindowsInARow = 2;

// A device that cannot keep up both leaves long gaps between callbacks and falls behind real
// time: the frames mixed over the window come short of its length by more than a buffer,
// because the device played silence (or stopped) while the mixer was late. A sound server
// that runs ahead, or that asks for buffers in bursts and then pauses, leaves gaps too but
// never falls behind, so it keeps the small buffer.
// Never says WatchAgain.
BufferVerdict judgeBuffers(const BufferWindow& window);

// Judges window after window with judgeBuffers: a window too slow asks for another one, and the
// device is TooSlow only when kSlowWindowsInARow in a row were.
class BufferJudge {
public:
    BufferVerdict judge(const BufferWindow& window);

private:
    int slowWindows_ = 0;
};

}  // namespace velozor
