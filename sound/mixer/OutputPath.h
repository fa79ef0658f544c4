// The way out to the player's sound system: which of SDL's audio drivers starts, the buffer size
// the player may force, and how little a PulseAudio server is asked to queue.
#pragma once

#include <string>

#include "base/Language.h"
#include "sound/mixer/AudioDrivers.h"

namespace velozor {

// Starts SDL's audio on the lowest-latency path of the sound server that runs: the first driver
// of AudioDrivers.h whose server answers (SDL's PipeWire driver where a PipeWire daemon runs),
// else SDL's usual order. A driver the player chose (SDL_AUDIODRIVER) always wins. True when
// SDL's audio started; SDL_GetError() says why not.
bool startAudioOnTheQuickestPath();

// Starts SDL's audio on the driver named `driver` only, above the player's SDL_AUDIODRIVER for
// this one start (a device that went away is reopened on the driver that opened it, or on the
// stand-in to keep the mixer running); true on success.
bool startAudioDriver(const std::string& driver);

// The buffer size the player asked for in VELOZOR_AUDIO_BUFFER_FRAMES, or 0 if none. A value
// that is not a power of two from 64 to 8192 is ignored, with one line on standard error in
// `language`.
int bufferFramesFromEnvironment(Language language);

// Asks a PulseAudio server (PipeWire's PulseAudio layer included) to keep little of our sound
// queued before a device of `frames` per buffer opens on `driver`, when its row asks for that:
// half a buffer period, rounded up to whole milliseconds, and at least 3 ms. A value the player
// set stays; `setHere` tells one set by an earlier call, which is replaced.
void askServerForLowLatency(const AudioDriver& driver, int frames, bool& setHere);

}  // namespace velozor
