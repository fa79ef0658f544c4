// The three lanes differ in register, in rhythm and in colour at once, so each stays
// recognisable when the stereo placement is gone: low and continuous on the left, mid and
// double in the centre, high and triple on the right.
#include "tools/soundpack/ApproachSounds.h"

#include <algorithm>
#include <cmath>

#include "tools/soundpack/Envelope.h"
#include "tools/soundpack/Filter.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/Oscillator.h"
#include "tools/soundpack/Panning.h"

namespace velozor::soundpack {

namespace {

// RMS of the nearest step before placement, in dB full scale.
constexpr double kNearestLevelDb = -13.0;
// Small enough that the farthest step still stands clear of the music and the engine, large
// enough that every step is heard to be nearer than the last.
constexpr double kStepDb = 3.5;
// Where the side lanes sit: far enough out to be unmistakable, not so far that the far ear
// hears nothing at all.
constexpr StereoPosition kSidePosition = 0.8;

// The lanes' pitches: the hum's buzz (a square wave, so odd partials) with a sub an octave down
// and a throb; the beeps' body with its octave; the tings' inharmonic partials, as for a bell.
constexpr double kHumHz = 110.0;
constexpr double kSubHz = kHumHz / 2;
constexpr double kThrobHz = 9.0;
constexpr double kBeepHz = 587.33;
constexpr double kTingHz = 1760.0;
constexpr double kTingPartials[] = {1.0, 2.76, 5.4};

std::vector<float> lowHum() {
    const std::size_t frames = framesFor(kApproachSeconds);
    Oscillator buzz(Waveform::Square, kHumHz);
    Oscillator sub(Waveform::Sine, kSubHz);
    Oscillator throb(Waveform::Sine, kThrobHz);
    Filter tone = Filter::lowPass(700.0, 1.2);
    std::vector<float> out(frames);
    for (float& sample : out) {
        const float depth = 0.65f + 0.35f * throb.next();
        sample = depth * (tone.process(0.6f * buzz.next()) + 0.4f * sub.next());
    }
    return out;
}

std::vector<float> midBeeps() {
    const std::size_t frames = framesFor(kApproachSeconds);
    std::vector<float> out(frames, 0.0f);
    for (const double start : {0.02, 0.25}) {
        Oscillator body(Waveform::Triangle, kBeepHz);
        Oscillator overtone(Waveform::Sine, 2 * kBeepHz);
        std::vector<float> beep(framesFor(0.17));
        for (float& sample : beep) {
            sample = body.next() + 0.3f * overtone.next();
        }
        applyFades(beep, 0.006, 0.025);
        mixInto(out, beep, framesFor(start));
    }
    out.resize(frames);
    return out;
}

std::vector<float> highTings() {
    const std::size_t frames = framesFor(kApproachSeconds);
    std::vector<float> out(frames, 0.0f);
    for (const double start : {0.0, 0.15, 0.30}) {
        Oscillator partial1(Waveform::Sine, kTingHz * kTingPartials[0]);
        Oscillator partial2(Waveform::Sine, kTingHz * kTingPartials[1]);
        Oscillator partial3(Waveform::Sine, kTingHz * kTingPartials[2]);
        std::vector<float> ting(framesFor(0.15));
        for (std::size_t i = 0; i < ting.size(); ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            ting[i] = strikeEnvelope(t, 0.002, 0.7) *
                      (partial1.next() + 0.35f * partial2.next() + 0.12f * partial3.next());
        }
        applyFades(ting, 0.0, 0.01);
        mixInto(out, ting, framesFor(start));
    }
    out.resize(frames);
    return out;
}

}  // namespace

double approachStepDb(int step) {
    return -kStepDb * std::clamp(step, kNearestStep, kFarthestStep);
}

std::vector<float> laneMotif(Lane lane) {
    std::vector<float> motif;
    switch (lane) {
        case Lane::Left:
            motif = lowHum();
            break;
        case Lane::Centre:
            motif = midBeeps();
            break;
        case Lane::Right:
            motif = highTings();
            break;
    }
    // Short fades: the channel restarts the file every tick, and a hard edge would click.
    applyFades(motif, 0.005, 0.015);
    setRmsDb(motif, kNearestLevelDb);
    return motif;
}

std::vector<double> lanePitchesHz(Lane lane) {
    std::vector<double> pitches;
    switch (lane) {
        case Lane::Left:
            // What stands within 20 dB of the strongest: the sub and the buzz with their throb's
            // sidebands, and the buzz's odd partials up to the seventh, which the low pass's
            // resonance lets through.
            for (const double partial : {kSubHz, kHumHz}) {
                for (const double sideband : {-kThrobHz, 0.0, kThrobHz})
                    pitches.push_back(partial + sideband);
            }
            for (const int partial : {3, 5, 7})
                pitches.push_back(partial * kHumHz);
            break;
        case Lane::Centre:
            pitches = {kBeepHz, 2 * kBeepHz};
            break;
        case Lane::Right:
            for (const double partial : kTingPartials)
                pitches.push_back(kTingHz * partial);
            break;
    }
    return pitches;
}

AudioBuffer approachSound(Lane lane, ApproachSet set, int step) {
    std::vector<float> motif = laneMotif(lane);
    const auto gain = static_cast<float>(gainFromDb(approachStepDb(step)));
    for (float& sample : motif) {
        sample *= gain;
    }
    if (set == ApproachSet::Mono) {
        return duplicateToStereo(motif);
    }
    switch (lane) {
        case Lane::Left:
            return placeInStereo(motif, -kSidePosition);
        case Lane::Right:
            return placeInStereo(motif, kSidePosition);
        case Lane::Centre:
            break;
    }
    return placeInStereo(motif, 0.0);
}

}  // namespace velozor::soundpack
