// The event loop's thread priority, shared by the program and the loop's benchmark so the
// benchmark measures the loop as the game runs it.
#pragma once

#include <SDL.h>

#include <string>

namespace velozor {

// Raises the calling thread, the one that runs the event loop, to SDL's top priority where
// the system allows it (root, or rtkit). The loop works for microseconds per event and sleeps
// otherwise, so this costs other programs nothing, while a busy machine can no longer make a
// tick or a key's sound late by milliseconds. Returns false with `error` set when refused;
// the game then runs at normal priority.
inline bool raiseLoopThreadPriority(std::string& error) {
    if (SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL) == 0)
        return true;
    error = SDL_GetError();
    return false;
}

}  // namespace velozor
