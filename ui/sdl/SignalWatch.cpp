// The signal watcher: one thread in sigwait, so no code runs in a signal handler.
#include "ui/sdl/SignalWatch.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "base/ErrorLine.h"
#include "ui/EndSilencer.h"

namespace velozor {

namespace {

// Stopping the sound takes a millisecond or two; longer means a sound call held the mixer (or
// the audio thread slept on), and the player heard the sound run on past the request to end.
constexpr auto kSlowSilence = std::chrono::milliseconds(100);

sigset_t watchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

[[noreturn]] void watch(sigset_t signals, Language language) {
    int received = 0;
    while (sigwait(&signals, &received) != 0) {
    }
    if (const std::function<void()>& silence = silencerForTheEnd()) {
        const auto start = std::chrono::steady_clock::now();
        silence();
        const auto took = std::chrono::steady_clock::now() - start;
        if (took > kSlowSilence) {
            const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(took);
            writeErrorLine(language, "parar el sonido al final llevó {} ms",
                           "stopping the sound at the end took {} ms",
                           {std::to_string(millis.count())});
        }
    }
    // _exit, not exit: the program's own threads are still running, and static destructors
    // run under them would pull SDL out from under the event loop.
    _exit(received == SIGINT ? 130 : 0);
}

}  // namespace

void startSignalWatch(Language language) {
    const sigset_t signals = watchedSignals();
    if (const int error = pthread_sigmask(SIG_BLOCK, &signals, nullptr); error != 0) {
        writeErrorLine(language,
                       "no se pueden vigilar SIGTERM y SIGINT ({}); terminarán el juego "
                       "solo entre sonidos",
                       "cannot watch for SIGTERM and SIGINT ({}); they will end the game "
                       "only between sounds",
                       {std::strerror(error)});
        return;
    }
    try {
        std::thread(watch, signals, language).detach();
    } catch (const std::system_error& error) {
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        writeErrorLine(language,
                       "no se puede empezar el hilo que vigila SIGTERM y SIGINT ({}); "
                       "terminarán el juego solo entre sonidos",
                       "cannot start the thread that watches for SIGTERM and SIGINT ({}); "
                       "they will end the game only between sounds",
                       {error.what()});
    }
}

}  // namespace velozor
