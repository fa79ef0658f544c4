// Ends the program promptly when the session ends (logoff, shutdown) and on a console's control
// events (Ctrl+C, Ctrl+Break, its console closed), whatever the game's own thread is doing, even
// while a synchronous sound blocks it for a minute. These are not the window's close request
// (WM_CLOSE), which waits its turn in the event queue.
#pragma once

#include "base/Language.h"

namespace velozor {

// Installs a console control handler (the system runs it on a thread of its own) and starts one
// thread with a hidden top-level window that receives the session's end. On either it runs the
// EndSilencer (if one lives; WinmmPlatform::silence is safe there), giving it two seconds, then
// ends the process at once: status 130 for Ctrl+C, as a shell
// reports it, 0 otherwise. Call it first thing in main. The game keeps nothing a player would
// lose, so it ends at the session's WM_QUERYENDSESSION rather than waiting for WM_ENDSESSION,
// which the game's window, busy with a synchronous sound, could hold back until the system
// called it hung. A watch that cannot be set up is one line on standard error, in `language`.
void startSessionEndWatch(Language language);

}  // namespace velozor
