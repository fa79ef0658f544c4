// The silencer for a prompt end, guarded so the watcher and the program's own thread can meet.
#include "ui/EndSilencer.h"

#include <mutex>

namespace velozor {

namespace {

std::mutex silencerMutex;
std::function<void()> silencer;  // guarded by silencerMutex

}  // namespace

EndSilencer::EndSilencer(std::function<void()> silence) {
    const std::lock_guard lock(silencerMutex);
    silencer = std::move(silence);
}

EndSilencer::~EndSilencer() {
    const std::lock_guard lock(silencerMutex);
    silencer = nullptr;
}

const std::function<void()>& silencerForTheEnd() {
    // Never unlocked: the process ends holding it.
    silencerMutex.lock();
    return silencer;
}

}  // namespace velozor
