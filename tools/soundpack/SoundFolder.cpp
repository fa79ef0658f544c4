// The music takes longest to make and needs no speech, so it is made and encoded on a second
// thread while the main thread speaks and writes everything else.
#include "tools/soundpack/SoundFolder.h"

#include <future>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "sound/SoundFolderLocation.h"
#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/Mp3Encoder.h"
#include "tools/soundpack/SpeechSynth.h"
#include "tools/soundpack/WavFile.h"

namespace velozor::soundpack {

namespace {

// Plenty for a quiet mono tune.
constexpr int kMusicKilobitsPerSecond = 96;

std::filesystem::path fileFor(const std::filesystem::path& folder, const std::string& path) {
    // The names are UTF-8; taking them as char8_t makes that explicit on every platform.
    const std::u8string utf8(path.begin(), path.end());
    return folder / std::filesystem::path(utf8);
}

void makeParent(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        throw std::runtime_error("cannot create the folder " + file.parent_path().string() + ": " +
                                 error.message());
    }
}

}  // namespace

int writeSoundFolder(const std::filesystem::path& outputDir, const FolderOptions& options) {
    const std::filesystem::path folder = outputDir / soundFolderName(options.language);
    const std::vector<CatalogueEntry> entries = soundCatalogue(options);

    std::vector<std::future<void>> music;
    for (const CatalogueEntry& entry : entries) {
        if (entry.format == FileFormat::Mp3) {
            const std::filesystem::path file = fileFor(folder, entry.path);
            makeParent(file);
            music.push_back(std::async(std::launch::async, [file, make = entry.make] {
                // eSpeak NG is not thread-safe, so this thread gets no voice.
                const Speak mute = [](std::string_view text) -> std::vector<float> {
                    throw std::logic_error("the music cannot speak \"" + std::string(text) +
                                           "\": only wave files may use speech");
                };
                writeMp3(file, make(mute).samples, kMusicKilobitsPerSecond);
            }));
        }
    }

    SpeechSynth synth(voiceName(options.language), options.wordsPerMinute);
    const Speak speak = [&synth](std::string_view text) { return synth.speak(text); };
    int written = 0;
    for (const CatalogueEntry& entry : entries) {
        if (entry.format == FileFormat::Wave) {
            const std::filesystem::path file = fileFor(folder, entry.path);
            makeParent(file);
            writeWav(file, entry.make(speak));
            ++written;
        }
    }
    for (std::future<void>& done : music) {
        done.get();  // rethrows a failure of the music thread
        ++written;
    }
    return written;
}

}  // namespace velozor::soundpack
