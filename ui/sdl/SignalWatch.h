// Ends the program promptly on SIGTERM (logout, shutdown, kill) and SIGINT (Ctrl+C), whatever
// its own threads are doing, even while a synchronous sound blocks the event loop for a minute.
// These are not the window's close request, which waits its turn in the event queue.
#pragma once

#include <functional>

namespace velozor {

// Blocks SIGTERM and SIGINT in the calling thread, and so in every thread started after it
// (SDL's, the audio server's), and starts one thread that waits for them. On one it runs the
// silencer (if one is set), then ends the process at once: status 0 for SIGTERM, 130 for
// SIGINT, as a shell reports Ctrl+C. Call it first thing in main, before any thread exists. A
// signal the process was started with ignored (nohup, a background job) stays ignored.
void startSignalWatch();

// While it lives, the watcher calls `silence` before it ends the process. `silence` runs on the
// watcher's thread, alongside whatever the program is doing, so it must only make thread-safe
// calls (SDL_mixer's pause and halt lock the audio device). Construct it once the sound device
// is open, and destroy it before the device closes: the destructor waits for a silencer that is
// running, which then ends the process.
class SignalSilencer {
public:
    explicit SignalSilencer(std::function<void()> silence);
    ~SignalSilencer();
    SignalSilencer(const SignalSilencer&) = delete;
    SignalSilencer& operator=(const SignalSilencer&) = delete;
};

}  // namespace velozor
