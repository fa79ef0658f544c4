// eSpeak NG runs in synchronous mode: espeak_Synth returns once the whole text has been handed
// to the callback, which collects the 16-bit samples.
#include "tools/soundpack/SpeechSynth.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/soundpack/AudioBuffer.h"
#include "tools/soundpack/Resampler.h"

namespace velozor::soundpack {

namespace {

// Samples quieter than this count as silence when trimming (about -50 dB full scale).
constexpr int16_t kSilenceThreshold = 100;
// Silence kept around the speech after trimming, in seconds.
constexpr double kKeptSilenceSeconds = 0.01;

int collectSamples(short* samples, int count, espeak_EVENT* events) {
    if (samples != nullptr && count > 0 && events != nullptr && events->user_data != nullptr) {
        auto* sink = static_cast<std::vector<int16_t>*>(events->user_data);
        sink->insert(sink->end(), samples, samples + count);
    }
    return 0;  // carry on
}

}  // namespace

SpeechSynth::SpeechSynth(const std::string& voice, int wordsPerMinute) {
    // DONT_EXIT: report a missing data folder instead of ending the whole program.
    engineRate_ =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (engineRate_ <= 0) {
        throw std::runtime_error(
            "cannot start eSpeak NG (is the Debian package espeak-ng-data installed?)");
    }
    espeak_SetSynthCallback(collectSamples);
    try {
        useVoice(voice, wordsPerMinute);
    } catch (...) {
        espeak_Terminate();
        throw;
    }
}

void SpeechSynth::useVoice(const std::string& voice, int wordsPerMinute) {
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
        throw std::runtime_error("eSpeak NG has no voice \"" + voice +
                                 "\" (is the Debian package espeak-ng-data installed?)");
    }
    if (espeak_SetParameter(espeakRATE, wordsPerMinute, 0) != EE_OK) {
        throw std::runtime_error("eSpeak NG refused the rate of " + std::to_string(wordsPerMinute) +
                                 " words a minute: give 80 to 450");
    }
}

SpeechSynth::~SpeechSynth() {
    espeak_Terminate();
}

std::vector<float> SpeechSynth::speak(std::string_view text) {
    const std::string terminated(text);
    std::vector<int16_t> raw;
    const espeak_ERROR result = espeak_Synth(terminated.c_str(), terminated.size() + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &raw);
    if (result != EE_OK || espeak_Synchronize() != EE_OK) {
        throw std::runtime_error("eSpeak NG failed to speak \"" + terminated + "\"");
    }

    const auto loud = [](int16_t sample) { return std::abs(sample) > kSilenceThreshold; };
    const auto first = std::find_if(raw.begin(), raw.end(), loud);
    const auto last = std::find_if(raw.rbegin(), raw.rend(), loud).base();
    if (first == raw.end()) {
        throw std::runtime_error("eSpeak NG produced only silence for \"" + terminated + "\"");
    }
    const auto margin = static_cast<long>(kKeptSilenceSeconds * engineRate_);
    const auto begin = raw.begin() + std::max(0L, static_cast<long>(first - raw.begin()) - margin);
    const auto end = last + std::min(margin, static_cast<long>(raw.end() - last));

    std::vector<float> speech;
    speech.reserve(end - begin);
    for (auto it = begin; it != end; ++it) {
        speech.push_back(static_cast<float>(*it) / 32768.0f);
    }
    return resample(speech, engineRate_, kSampleRate);
}

}  // namespace velozor::soundpack
