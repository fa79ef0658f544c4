// Choosing SDL's audio driver, the first buffer size and the queue asked of a sound server.
#include "sound/mixer/OutputPath.h"

#include <SDL.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "sound/mixer/AudioDevice.h"

namespace velozor {

namespace {

// SDL's ALSA driver, and the others that write to the device itself: 256 frames (5.8 ms).
constexpr int kSmallBuffer = 256;
// Through a sound server, which keeps a queue of its own: 128 frames (2.9 ms). PipeWire runs
// its whole graph at the smallest quantum a stream asks for, and a sound passes through a few
// quanta on its way to the output: half the buffer there takes about 6 ms off every sound.
// Through PulseAudio too, whatever queue is asked for (SDL's driver mixes whole buffers):
// half the buffer took the median key-to-sound time from about 6 ms to under 4 ms, at no
// processor time that showed while driving.
constexpr int kServerBuffer = 128;
// The least PulseAudio is asked to queue: half of a 128-frame buffer would leave it 1.5 ms,
// less than one late callback.
constexpr int kLeastQueueMillis = 3;

// True when a PipeWire daemon answers on this session's socket (where libpipewire looks for it).
bool pipeWireRuns() {
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    std::string socket = remote != nullptr && *remote != '\0' ? remote : "pipewire-0";
    if (socket.front() != '/') {
        const char* folder = std::getenv("PIPEWIRE_RUNTIME_DIR");
        if (folder == nullptr || *folder == '\0')
            folder = std::getenv("XDG_RUNTIME_DIR");
        if (folder == nullptr || *folder == '\0')
            return false;
        socket = std::string(folder) + "/" + socket;
    }
    struct stat status {};
    return ::stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

}  // namespace

bool startAudioOnTheQuickestPath() {
    const char* chosen = SDL_GetHint(SDL_HINT_AUDIODRIVER);  // the environment's too
    if ((chosen == nullptr || *chosen == '\0') && pipeWireRuns() && startAudioDriver("pipewire"))
        return true;
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

bool startAudioDriver(const std::string& driver) {
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return started;
}

int firstBufferFrames(const std::string& driver) {
    return driver == "pipewire" || driver == "pulseaudio" ? kServerBuffer : kSmallBuffer;
}

int bufferFramesFromEnvironment() {
    const char* value = std::getenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    if (value == nullptr || *value == '\0')
        return 0;
    const int frames = std::atoi(value);
    if (frames >= 64 && frames <= 8192 && (frames & (frames - 1)) == 0)
        return frames;
    std::cerr << "velozor: ignoring VELOZOR_AUDIO_BUFFER_FRAMES=" << value
              << " (use a power of two from 64 to 8192, such as 256 or 512)\n";
    return 0;
}

// libpulse reads PULSE_LATENCY_MSEC whenever a stream connects; SDL 2.26 has no setting of its
// own for it.
void askServerForLowLatency(int frames, bool& setHere) {
    const char* current = std::getenv("PULSE_LATENCY_MSEC");
    if (current != nullptr && !setHere)
        return;
    const int halfBuffer =
        (frames * 1000 / 2 + AudioDevice::kFrequency - 1) / AudioDevice::kFrequency;
    const int millis = std::max(kLeastQueueMillis, halfBuffer);
    ::setenv("PULSE_LATENCY_MSEC", std::to_string(millis).c_str(), 1);
    setHere = true;
}

}  // namespace velozor
