// Reading and writing 16-bit PCM wave files, the format of every sound but the music.
#pragma once

#include <filesystem>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

// What a wave file holds, as read back from disk.
struct WavContents {
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // 16 for every file this tool writes
    AudioBuffer audio;      // samples scaled to [-1, 1)
};

// Writes `audio` as a canonical 44-byte-header RIFF/WAVE file at kSampleRate, 16-bit PCM.
// Samples beyond [-1, 1] are clipped. Throws std::runtime_error naming the file when it cannot
// be written.
void writeWav(const std::filesystem::path& file, const AudioBuffer& audio);

// Reads a PCM wave file with 16-bit samples (any rate, any channel count). Skips chunks other
// than "fmt " and "data". Throws std::runtime_error saying what is wrong with the file when it
// cannot be opened, is not PCM, is not 16-bit or is cut short.
WavContents readWav(const std::filesystem::path& file);

}  // namespace velozor::soundpack
