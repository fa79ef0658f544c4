// Sound fixtures written through the sound generator's own writers.
#include "tests/support/SoundFiles.h"

#include <cmath>
#include <numbers>

#include "tools/soundpack/Mp3Encoder.h"
#include "tools/soundpack/WavFile.h"

namespace velozor::testing {

void writeWav(const std::filesystem::path& path, int frames,
              const std::function<int16_t(int frame)>& sample) {
    // The writer scales by 32767 and rounds: every 16-bit value but -32768 comes back exact.
    soundpack::AudioBuffer audio{2, std::vector<float>(static_cast<std::size_t>(frames) * 2)};
    for (int frame = 0; frame < frames; ++frame)
        audio.samples[2 * frame] = audio.samples[2 * frame + 1] = sample(frame) / 32767.0f;
    soundpack::writeWav(path, audio);
}

void writeMp3(const std::filesystem::path& path, int frames, int16_t amplitude) {
    std::vector<float> sine(static_cast<std::size_t>(frames));
    for (int frame = 0; frame < frames; ++frame)
        sine[frame] = amplitude / 32768.0f *
                      static_cast<float>(std::sin(2.0 * std::numbers::pi * 441.0 * frame / kRate));
    soundpack::writeMp3(path, sine, 192);
}

}  // namespace velozor::testing
