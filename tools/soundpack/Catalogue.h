// How each file of the game's sound catalogue is made, for the default sound folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/soundpack/AudioBuffer.h"
#include "tools/soundpack/FolderOptions.h"

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

// Every file of the game's sound catalogue (sound/SoundCatalogue.h), 73 in all, in the
// catalogue's order, each with the way it is made: words in `options.language`, the music at
// `options.musicLevelDb` against the speech. The speaking rate is the Speak function's business.
// Throws std::logic_error naming the file when the catalogue and the generator's recipes do not
// match one for one.
std::vector<CatalogueEntry> soundCatalogue(const FolderOptions& options = {});

// A catalogued path ("\sonidos\intro\arch 1.wav") as it lies inside the folder "sonidos"
// ("intro/arch 1.wav").
std::string pathInSoundFolder(std::string_view gamePath);

}  // namespace velozor::soundpack
