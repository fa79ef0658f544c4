// Choosing SDL's audio driver, the buffer size the player forces and the queue asked of a sound
// server.
#include "sound/mixer/OutputPath.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "base/ErrorLine.h"
#include "sound/mixer/AudioDevice.h"
#include "sound/mixer/AudioDrivers.h"

namespace velozor {

namespace {

// The least PulseAudio is asked to queue: half of a 128-frame buffer would leave it 1.5 ms,
// less than one late callback.
constexpr int kLeastQueueMillis = 3;

}  // namespace

bool startAudioOnTheQuickestPath() {
    const char* chosen = SDL_GetHint(SDL_HINT_AUDIODRIVER);  // the environment's too
    if (chosen == nullptr || *chosen == '\0') {
        for (const AudioDriver& driver : kAudioDrivers) {
            if (driver.serverAnswers != nullptr && driver.serverAnswers() &&
                startAudioDriver(driver.name))
                return true;
        }
    }
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

bool startAudioDriver(const std::string& driver) {
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return started;
}

int bufferFramesFromEnvironment(Language language) {
    const char* value = std::getenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    if (value == nullptr || *value == '\0')
        return 0;
    const int frames = std::atoi(value);
    if (frames >= 64 && frames <= 8192 && (frames & (frames - 1)) == 0)
        return frames;
    writeErrorLine(language,
                   "no se tiene en cuenta VELOZOR_AUDIO_BUFFER_FRAMES={} (usa una potencia de "
                   "dos entre 64 y 8192, como 256 o 512)",
                   "ignoring VELOZOR_AUDIO_BUFFER_FRAMES={} (use a power of two from 64 to 8192, "
                   "such as 256 or 512)",
                   {value});
    return 0;
}

// libpulse reads PULSE_LATENCY_MSEC whenever a stream connects; SDL 2.26 has no setting of its
// own for it.
void askServerForLowLatency(const AudioDriver& driver, int frames, bool& setHere) {
    if (!driver.asksServerForShortQueue)
        return;
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
