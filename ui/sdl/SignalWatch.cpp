// The signal watcher: one thread in sigwait, so no code runs in a signal handler.
#include "ui/sdl/SignalWatch.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

#include "ui/EndSilencer.h"

namespace velozor {

namespace {

sigset_t watchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

[[noreturn]] void watch(sigset_t signals) {
    int received = 0;
    while (sigwait(&signals, &received) != 0) {
    }
    if (const std::function<void()>& silence = silencerForTheEnd())
        silence();
    // _exit, not exit: the program's own threads are still running, and static destructors
    // run under them would pull SDL out from under the event loop.
    _exit(received == SIGINT ? 130 : 0);
}

}  // namespace

void startSignalWatch() {
    const sigset_t signals = watchedSignals();
    if (const int error = pthread_sigmask(SIG_BLOCK, &signals, nullptr); error != 0) {
        std::fprintf(stderr,
                     "velozor: cannot watch for SIGTERM and SIGINT (%s); they will end the game "
                     "only between sounds\n",
                     std::strerror(error));
        return;
    }
    try {
        std::thread(watch, signals).detach();
    } catch (const std::system_error& error) {
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        std::fprintf(stderr,
                     "velozor: cannot start the thread that watches for SIGTERM and SIGINT (%s); "
                     "they will end the game only between sounds\n",
                     error.what());
    }
}

}  // namespace velozor
