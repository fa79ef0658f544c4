// The way out to the player's sound system: which of SDL's audio drivers starts, the buffer
// size a device starts with there, and how little a PulseAudio server is asked to queue.
#pragma once

#include <string>

namespace velozor {

// Starts SDL's audio on the lowest-latency path of the sound server that runs: where a PipeWire
// daemon runs, SDL's own PipeWire driver (PipeWire's PulseAudio layer adds about 20 ms to every
// sound); elsewhere SDL's usual order. A driver the player chose (SDL_AUDIODRIVER) always wins.
// True when SDL's audio started; SDL_GetError() says why not.
bool startAudioOnTheQuickestPath();

// Starts SDL's audio on the driver named `driver` only, above the player's SDL_AUDIODRIVER for
// this one start (a device that went away is reopened on the driver that opened it, or on
// "dummy" to keep the mixer running); true on success.
bool startAudioDriver(const std::string& driver);

// The frames per buffer a device starts with on SDL's audio driver `driver`, when neither the
// program nor the player asked for a size: 128 (2.9 ms) through a sound server, 256 (5.8 ms)
// elsewhere.
int firstBufferFrames(const std::string& driver);

// The buffer size the player asked for in VELOZOR_AUDIO_BUFFER_FRAMES, or 0 if none. A value
// that is not a power of two from 64 to 8192 is ignored, with one line on standard error.
int bufferFramesFromEnvironment();

// Asks a PulseAudio server (PipeWire's PulseAudio layer included) to keep little of our sound
// queued before a device of `frames` per buffer opens: half a buffer period, rounded up to whole
// milliseconds, and at least 3 ms. A value the player set stays; `setHere` tells one set by an
// earlier call, which is replaced.
void askServerForLowLatency(int frames, bool& setHere);

}  // namespace velozor
