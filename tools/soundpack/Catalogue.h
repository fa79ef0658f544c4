// The list of every file in the default sound folder, and how each one is made.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

enum class FileFormat { Wave, Mp3 };

// Turns UTF-8 text into mono speech at kSampleRate (SpeechSynth::speak in the real tool).
using Speak = std::function<std::vector<float>(std::string_view)>;

struct CatalogueEntry {
    // Inside the folder "sonidos", '/'-separated, in UTF-8 exactly as the name is on disk
    // ("obstáculos/mono/obstáculo2/obstacle25.wav").
    std::string path;
    FileFormat format;
    // Makes the content: the file's frames for a wave file, the mono samples to encode for MP3.
    std::function<AudioBuffer(const Speak&)> make;
};

// Every file of the folder, 73 in all: the four introduction parts, the music, the engine, the
// spoken cues, the effects and the 42 approach sounds.
std::vector<CatalogueEntry> soundCatalogue();

}  // namespace velozor::soundpack
