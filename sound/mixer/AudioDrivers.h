// What each of SDL's audio drivers needs from the program, in one table that every part asks.
#pragma once

namespace velozor {

struct AudioDriver {
    // SDL's name for the driver (SDL_AUDIODRIVER, SDL_GetCurrentAudioDriver()); nullptr in the
    // last row, which stands for every driver the table does not name (ALSA, OSS, JACK, ...).
    const char* name;
    // Frames per buffer a device starts with when neither the program nor the player chose.
    int firstBufferFrames;
    // The buffer check watches the first callbacks and doubles a size the device cannot keep up
    // with (BufferCheck.h).
    bool bufferChecked;
    // The audio thread parks through silence (MixerLock.h).
    bool parksThroughSilence;
    // PULSE_LATENCY_MSEC asks for a short queue before a device opens (OutputPath.h).
    bool asksServerForShortQueue;
    // Where this says the driver's sound server answers and the player chose no driver, the
    // driver is tried before SDL's own order; nullptr leaves it to that order.
    bool (*serverAnswers)();
    // The mixer runs on it, into nothing, while no device can be opened: it always opens.
    bool standsInForNoDevice;
};

// True when a PipeWire daemon answers on this session's socket (where libpipewire looks for it).
bool pipeWireRuns();

// A device's first buffer, in frames at 44.1 kHz. Through a sound server, which keeps a queue of
// its own: 128 frames (2.9 ms). PipeWire runs its whole graph at the smallest quantum a stream
// asks for, and a sound passes through a few quanta on its way to the output: half the buffer
// there takes about 6 ms off every sound. Through PulseAudio too, whatever queue is asked for
// (SDL's driver mixes whole buffers): half the buffer took the median key-to-sound time from
// about 6 ms to under 4 ms, at no processor time that showed while driving.
inline constexpr int kServerFirstBuffer = 128;
// ALSA, and the other drivers that write to the device itself: 256 frames (5.8 ms).
inline constexpr int kDeviceFirstBuffer = 256;

// pipewire: SDL's own PipeWire driver, tried first where a daemon runs, since PipeWire's
//   PulseAudio layer adds about 20 ms to every sound. The driver asks for a quantum of one
//   buffer itself and never reads PULSE_LATENCY_MSEC. The audio thread does not park there:
//   PipeWire's own data thread runs the stream every quantum whatever SDL's callback does, so
//   parking saved little (2.4% of a core idle, against 2.6% without) and cost each sound after
//   a silence a buffer.
// disk, dummy: pace themselves with sleeps (the disk driver's file keeps time with the game) and
//   have no device to run dry: judging them would only reopen (and so restart) the disk
//   driver's file on a busy machine, and parking would save nothing. The dummy driver always
//   opens, so it stands in for a device that cannot be opened.
// Any other (the last row): ALSA's default device may be PulseAudio's ALSA plugin, which reads
//   PULSE_LATENCY_MSEC too.
// clang-format off
inline constexpr AudioDriver kAudioDrivers[] = {
    // name        first buffer        checked parks  queue  tried first   stand-in
    {"pipewire",   kServerFirstBuffer, true,   false, false, pipeWireRuns, false},
    {"pulseaudio", kServerFirstBuffer, true,   true,  true,  nullptr,      false},
    {"disk",       kDeviceFirstBuffer, false,  false, false, nullptr,      false},
    {"dummy",      kDeviceFirstBuffer, false,  false, false, nullptr,      true},
    {nullptr,      kDeviceFirstBuffer, true,   true,  true,  nullptr,      false},
};
// clang-format on

// The row of the driver SDL calls `name`; the last row for any other name, empty or nullptr.
const AudioDriver& audioDriverNamed(const char* name);

// The row of the driver SDL's audio runs on now (the last row when it runs on none).
const AudioDriver& currentAudioDriver();

// The row that stands in while no device can be opened.
const AudioDriver& standInAudioDriver();

}  // namespace velozor
