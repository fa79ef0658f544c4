// Ends the program promptly on SIGTERM (logout, shutdown, kill) and SIGINT (Ctrl+C), whatever
// its own threads are doing, even while a synchronous sound blocks the event loop for a minute.
// These are not the window's close request, which waits its turn in the event queue.
#pragma once

#include "base/Language.h"

namespace velozor {

// Blocks SIGTERM and SIGINT in the calling thread, and so in every thread started after it
// (SDL's, the audio server's), and starts one thread that waits for them. On one it runs the
// EndSilencer (if one lives; one line on standard error when it took over 100 ms), then ends the
// process at once: status 0 for SIGTERM, 130 for SIGINT, as a shell reports Ctrl+C. Call it in main
// before any thread exists. A signal the process was started with ignored (nohup, a
// background job) stays ignored. The lines on standard error are in `language`.
void startSignalWatch(Language language);

}  // namespace velozor
