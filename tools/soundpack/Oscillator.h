// Band-limited oscillators: the raw tones every synthesized sound is built from.
#pragma once

namespace velozor::soundpack {

enum class Waveform { Sine, Triangle, Square, Sawtooth };

// A phase-accumulating oscillator at kSampleRate. Square and sawtooth are corrected with
// polyBLEP so their edges do not alias into audible whistles at high pitches.
// Deterministic: the same calls give the same samples.
class Oscillator {
public:
    Oscillator(Waveform waveform, double frequencyHz, double startPhase = 0.0);

    // Takes effect from the next sample; the phase runs on, so changes do not click.
    void setFrequency(double frequencyHz);

    // The next sample, within [-1, 1].
    float next();

private:
    Waveform waveform_;
    double phase_;      // in cycles, [0, 1)
    double increment_;  // cycles per sample
};

}  // namespace velozor::soundpack
