// A four-chord loop in C minor (Cm, Ab, Eb, Fm) with bass, arpeggio, pad, light hi-hats and a
// pentatonic melody chosen by a seeded generator, arranged in sections so the ear has something
// to follow without being pulled away from the road.
//
// Nothing in it may sound like an obstacle. The lanes' sounds sit on A and D (55, 110, 587,
// 1175 and 1760 Hz) and their neighbours (the left hum's 330 and 550 Hz overtones and its
// throb's sidebands), so the tune uses no A, D, E or C#, keeps its bass above the hum's 55 and
// 110 Hz, and plays pure tones whose only overtones are octaves. Its bass swells once a bar
// rather than striking in pairs, which the ear would take for the left lane's hum coming closer.
#include "tools/soundpack/Music.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/soundpack/AudioBuffer.h"
#include "tools/soundpack/Envelope.h"
#include "tools/soundpack/Filter.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/Noise.h"
#include "tools/soundpack/Oscillator.h"

namespace velozor::soundpack {

namespace {

constexpr double kBeatSeconds = 60.0 / 96.0;
constexpr double kBarSeconds = 4 * kBeatSeconds;
constexpr int kBars = 40;

struct Chord {
    int root;  // MIDI note
    bool minor;
    int bass;  // MIDI note of the bass: Eb3 at the lowest, as C3 would touch the hum's 119 Hz
};
constexpr std::array<Chord, 4> kProgression{
    {{48, true, 51}, {56, false, 56}, {51, false, 51}, {53, true, 53}}};

double frequencyOf(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

std::array<int, 3> chordTones(const Chord& chord) {
    return {chord.root, chord.root + (chord.minor ? 3 : 4), chord.root + 7};
}

std::vector<float> note(Waveform waveform, int midiNote, double seconds, double attack,
                        double decay) {
    Oscillator body(waveform, frequencyOf(midiNote));
    Oscillator octave(Waveform::Sine, frequencyOf(midiNote + 12));
    std::vector<float> out(framesFor(seconds));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        out[i] = strikeEnvelope(t, attack, decay) * (body.next() + 0.2f * octave.next());
    }
    applyFades(out, 0.0, 0.03);
    return out;
}

std::vector<float> padChord(const Chord& chord) {
    std::vector<float> out(framesFor(kBarSeconds + 0.4), 0.0f);
    for (const int tone : chordTones(chord)) {
        for (const double detune : {-0.002, 0.002}) {
            Oscillator voice(Waveform::Sine, frequencyOf(tone + 12) * (1.0 + detune));
            for (float& sample : out) {
                sample += 0.5f * voice.next();
            }
        }
    }
    applyFades(out, 0.5, 0.7);
    return out;
}

std::vector<float> hiHat(Noise& noise) {
    Filter bright = Filter::highPass(7000.0);
    std::vector<float> out(framesFor(0.05));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = strikeEnvelope(static_cast<double>(i) / kSampleRate, 0.001, 0.05) *
                 bright.process(noise.next());
    }
    return out;
}

// Bars of the arrangement that carry each part.
bool hasBass(int bar) {
    return bar >= 4 && bar < 38;
}
bool hasMelody(int bar) {
    return (bar >= 8 && bar < 16) || (bar >= 24 && bar < 32);
}
bool hasHats(int bar) {
    return bar >= 16 && bar < 36;
}

}  // namespace

std::vector<float> backgroundMusic(double levelDb) {
    std::vector<float> song(framesFor(kMusicSeconds), 0.0f);
    Noise choice(0x5eed0010u);
    Noise hatNoise(0x5eed0011u);
    // C minor pentatonic, two octaves from C5: the melody can never clash with the chords.
    constexpr std::array<int, 10> kScale{72, 75, 77, 79, 82, 84, 87, 89, 91, 94};
    int melodyIndex = 2;

    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kProgression[bar % kProgression.size()];
        const double barStart = bar * kBarSeconds;
        const auto tones = chordTones(chord);

        mixInto(song, padChord(chord), framesFor(barStart), 0.05f);

        constexpr std::array<int, 8> kArpeggio{0, 1, 2, 1, 0, 2, 1, 2};
        for (int eighth = 0; eighth < 8; ++eighth) {
            const int pitch = tones[kArpeggio[eighth]] + 12 + (eighth == 4 ? 12 : 0);
            mixInto(song, note(Waveform::Sine, pitch, 0.6, 0.004, 0.8),
                    framesFor(barStart + eighth * kBeatSeconds / 2), 0.12f);
        }

        if (hasBass(bar)) {
            mixInto(song, note(Waveform::Sine, chord.bass, kBarSeconds, 0.15, 3.0),
                    framesFor(barStart), 0.3f);
        }

        if (hasHats(bar)) {
            for (int beat = 0; beat < 4; ++beat) {
                mixInto(song, hiHat(hatNoise), framesFor(barStart + (beat + 0.5) * kBeatSeconds),
                        0.08f);
            }
        }

        if (hasMelody(bar)) {
            // Quarter notes, a step or two at a time, with a held note closing every other bar.
            for (int beat = 0; beat < 4; ++beat) {
                const bool closing = bar % 2 == 1 && beat == 2;
                const int move = static_cast<int>(std::floor(choice.next() * 2.5));  // -3..2
                melodyIndex =
                    std::clamp(melodyIndex + move, 0, static_cast<int>(kScale.size()) - 1);
                const double length = closing ? 2 * kBeatSeconds : kBeatSeconds;
                mixInto(song, note(Waveform::Sine, kScale[melodyIndex], length + 0.2, 0.02, 1.5),
                        framesFor(barStart + beat * kBeatSeconds), 0.22f);
                if (closing) {
                    break;
                }
            }
        }
    }

    song.resize(framesFor(kMusicSeconds));
    applyFades(song, 1.0, 4.0);
    setRmsDb(song, levelDb);
    limitPeak(song, 0.5f);
    return song;
}

}  // namespace velozor::soundpack
