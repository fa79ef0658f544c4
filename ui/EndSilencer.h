// The sound's silencer for a prompt end: what the program's watcher of signals or of the
// session's end runs, on its own thread, before it ends the process at once.
#pragma once

#include <functional>

namespace velozor {

// While it lives, `silence` is the silencer the watcher runs before it ends the process.
// `silence` runs on the watcher's thread, alongside whatever the program is doing, so it must
// only make calls that are safe there. Construct it once the sound is open, and destroy it
// before the sound closes: the destructor waits for a silencer that is running, which then
// ends the process.
class EndSilencer {
public:
    explicit EndSilencer(std::function<void()> silence);
    ~EndSilencer();
    EndSilencer(const EndSilencer&) = delete;
    EndSilencer& operator=(const EndSilencer&) = delete;
};

// For the watcher about to end the process: the silencer (empty when none lives), locked for
// good, so it can neither be destroyed while it runs nor replaced. Call it once, from the
// thread that ends the process.
const std::function<void()>& silencerForTheEnd();

}  // namespace velozor
