// Each effect is built from oscillators, seeded noise and filters, then set to a fixed RMS so
// the effects sit at a steady level against speech (about -18 dB) and each other.
#include "tools/soundpack/Effects.h"

#include <cmath>

#include "tools/soundpack/AudioBuffer.h"
#include "tools/soundpack/Envelope.h"
#include "tools/soundpack/Filter.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/Noise.h"
#include "tools/soundpack/Oscillator.h"

namespace velozor::soundpack {

namespace {

constexpr double kEffectLevelDb = -17.0;
constexpr double kEngineLevelDb = -40.0;
constexpr float kPeak = 0.9f;

double secondsAt(std::size_t frame) {
    return static_cast<double>(frame) / kSampleRate;
}

// A bell-like struck note: fundamental with two softer overtones.
std::vector<float> chime(double frequencyHz, double seconds, double decaySeconds) {
    Oscillator fundamental(Waveform::Sine, frequencyHz);
    Oscillator second(Waveform::Sine, frequencyHz * 2.0);
    Oscillator third(Waveform::Sine, frequencyHz * 3.0);
    std::vector<float> note(framesFor(seconds));
    for (std::size_t i = 0; i < note.size(); ++i) {
        note[i] = strikeEnvelope(secondsAt(i), 0.003, decaySeconds) *
                  (fundamental.next() + 0.3f * second.next() + 0.1f * third.next());
    }
    applyFades(note, 0.0, 0.01);
    return note;
}

std::vector<float> finished(std::vector<float> sound, double levelDb) {
    setRmsDb(sound, levelDb);
    limitPeak(sound, kPeak);
    return sound;
}

}  // namespace

std::vector<float> engine() {
    // A four-stroke engine at idle-to-cruise fires about 40 times a second; the half-rate
    // component gives the uneven, throaty beat of real cylinders.
    constexpr double kFiringHz = 41.0;
    Oscillator firing(Waveform::Sawtooth, kFiringHz);
    Oscillator halfRate(Waveform::Square, kFiringHz / 2.0);
    Oscillator wobble(Waveform::Sine, 0.27);
    Noise noise(0x5eed0001u);
    Filter body = Filter::lowPass(320.0, 0.9);
    Filter breath = Filter::lowPass(180.0);
    Filter rumble = Filter::highPass(30.0);
    std::vector<float> out(framesFor(kEngineSeconds));
    for (float& sample : out) {
        const double speed = kFiringHz * (1.0 + 0.012 * wobble.next());
        firing.setFrequency(speed);
        halfRate.setFrequency(speed / 2.0);
        const float pulse = firing.next() + 0.35f * halfRate.next();
        sample = rumble.process(body.process(pulse) + 0.6f * breath.process(noise.next()));
    }
    applyFades(out, 0.05, 0.05);
    return finished(std::move(out), kEngineLevelDb);
}

std::vector<float> dodgeChime() {
    std::vector<float> out;
    mixInto(out, chime(1046.5, 0.12, 0.5), 0);                // C6
    mixInto(out, chime(1568.0, 0.24, 0.6), framesFor(0.07));  // G6
    return finished(std::move(out), kEffectLevelDb);
}

std::vector<float> brakeSqueal() {
    Noise noise(0x5eed0002u);
    Filter screech = Filter::bandPass(2300.0, 4.0);
    Filter road = Filter::lowPass(400.0);
    Oscillator squeal(Waveform::Triangle, 1150.0);
    Oscillator vibrato(Waveform::Sine, 7.0);
    std::vector<float> out(framesFor(0.9));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = secondsAt(i);
        // The squeal drops in pitch as the car slows, with the flutter of a tyre on tarmac.
        squeal.setFrequency(1150.0 - 220.0 * t / 0.9 + 25.0 * vibrato.next());
        const float jitter = 0.8f + 0.2f * noise.next();
        out[i] = 0.55f * squeal.next() * jitter + 2.5f * screech.process(noise.next()) +
                 0.5f * road.process(noise.next());
    }
    applyFades(out, 0.03, 0.3);
    return finished(std::move(out), kEffectLevelDb);
}

std::vector<float> horn() {
    // Car horns are commonly a pair of tones about a major third apart, near 400 and 500 Hz.
    Oscillator low(Waveform::Sawtooth, 415.3);
    Oscillator high(Waveform::Sawtooth, 523.25);
    Filter tone = Filter::lowPass(2600.0, 0.8);
    Filter honk = Filter::bandPass(1000.0, 1.5);
    std::vector<float> out(framesFor(0.7));
    for (float& sample : out) {
        const float raw = 0.5f * (low.next() + high.next());
        const float shaped = tone.process(raw) + 0.8f * honk.process(raw);
        sample = static_cast<float>(std::tanh(1.8 * shaped));  // the rasp of a horn's diaphragm
    }
    applyFades(out, 0.01, 0.04);
    return finished(std::move(out), kEffectLevelDb + 2.0);
}

std::vector<float> crash() {
    Noise noise(0x5eed0003u);
    Filter crunch = Filter::highPass(600.0);
    Oscillator thud(Waveform::Sine, 55.0);
    Oscillator metal1(Waveform::Sine, 523.0);
    Oscillator metal2(Waveform::Sine, 1187.0);
    Oscillator metal3(Waveform::Sine, 2034.0);
    std::vector<float> out(framesFor(0.7));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = secondsAt(i);
        thud.setFrequency(55.0 + 40.0 * std::exp(-t / 0.05));
        out[i] = strikeEnvelope(t, 0.001, 0.25) * 1.2f * thud.next() +
                 strikeEnvelope(t, 0.001, 0.35) * crunch.process(noise.next()) +
                 strikeEnvelope(t, 0.002, 0.7) *
                     (0.3f * metal1.next() + 0.25f * metal2.next() + 0.2f * metal3.next());
    }
    applyFades(out, 0.0, 0.05);
    return finished(std::move(out), kEffectLevelDb + 1.0);
}

std::vector<float> titleFlourish() {
    std::vector<float> out;
    const double notes[] = {523.25, 659.25, 783.99, 1046.5};  // C E G C
    for (std::size_t i = 0; i < std::size(notes); ++i) {
        const bool last = i + 1 == std::size(notes);
        mixInto(out, chime(notes[i], last ? 0.5 : 0.25, last ? 1.2 : 0.6), framesFor(0.1 * i));
    }
    return finished(std::move(out), kEffectLevelDb);
}

std::vector<float> countBeep(BeepPitch pitch) {
    Oscillator tone(Waveform::Triangle, pitch == BeepPitch::High ? 1760.0 : 880.0);
    std::vector<float> out(framesFor(pitch == BeepPitch::High ? 0.3 : 0.12));
    for (float& sample : out) {
        sample = tone.next();
    }
    applyFades(out, 0.005, 0.03);
    return finished(std::move(out), kEffectLevelDb - 3.0);
}

}  // namespace velozor::soundpack
