// Speech from eSpeak NG, synthesized inside this process and brought to the folder's rate.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velozor::soundpack {

// Owns the eSpeak NG engine for its lifetime. eSpeak keeps global state, so at most one
// SpeechSynth may exist at a time, and it is used from one thread only. Make one per process:
// eSpeak NG 1.51 hangs when started a second time; switch voices with useVoice instead.
class SpeechSynth {
public:
    // Starts eSpeak NG with the voice named `voice` (e.g. "es") speaking `wordsPerMinute` words
    // a minute (eSpeak takes 80 to 450). Throws std::runtime_error saying what to install when
    // the engine or the voice cannot be loaded, and what to give when the rate is refused.
    SpeechSynth(const std::string& voice, int wordsPerMinute);
    ~SpeechSynth();

    // Speaks from now on with `voice` at `wordsPerMinute`; throws as the constructor does.
    void useVoice(const std::string& voice, int wordsPerMinute);

    SpeechSynth(const SpeechSynth&) = delete;
    SpeechSynth& operator=(const SpeechSynth&) = delete;

    // Speaks UTF-8 text and returns it as mono samples at kSampleRate, with the silence before
    // the first and after the last sound trimmed to a few milliseconds. Throws
    // std::runtime_error when synthesis fails or yields no sound.
    std::vector<float> speak(std::string_view text);

private:
    int engineRate_ = 0;  // eSpeak's own output rate, in frames per second
};

}  // namespace velozor::soundpack
