// Ends the program promptly when the session ends (logoff, shutdown) and on a console's control
// events (Ctrl+C, Ctrl+Break, its console closed), whatever the game's own thread is doing, even
// while a synchronous sound blocks it for a minute. These are not the window's close request
// (WM_CLOSE), which waits its turn in the event queue.
#pragma once

#include <functional>

namespace velozor {

// Installs a console control handler (the system runs it on a thread of its own) and starts one
// thread with a hidden top-level window that receives the session's end. On either it runs the
// silencer (if one is set), then ends the process at once: status 130 for Ctrl+C, as a shell
// reports it, 0 otherwise. Call it first thing in main. The game keeps nothing a player would
// lose, so it ends at the session's WM_QUERYENDSESSION rather than waiting for WM_ENDSESSION,
// which the game's window, busy with a synchronous sound, could hold back until the system
// called it hung.
void startSessionEndWatch();

// While it lives, the watcher calls `silence` before it ends the process. `silence` runs on the
// watcher's thread, alongside whatever the program is doing, so it must only make calls that are
// safe there (WinmmPlatform::silence); it is given two seconds, then the process ends anyway.
// Construct it once the sound library is loaded, and destroy it before it is unloaded: the
// destructor waits for a silencer that is running, which then ends the process.
class SessionEndSilencer {
public:
    explicit SessionEndSilencer(std::function<void()> silence);
    ~SessionEndSilencer();
    SessionEndSilencer(const SessionEndSilencer&) = delete;
    SessionEndSilencer& operator=(const SessionEndSilencer&) = delete;
};

}  // namespace velozor
