// Sound fixtures written through the sound generator's own writers, and the disk driver's mix.
#include "tests/support/SoundFiles.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>

#include "tests/support/ProgramProbe.h"
#include "tools/soundpack/Mp3Encoder.h"
#include "tools/soundpack/WavFile.h"

namespace velozor::testing {

using namespace std::chrono_literals;

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

std::vector<int16_t> readMix(const std::filesystem::path& path, uint64_t from, uint64_t frames) {
    std::error_code error;
    waitUntil([&] { return std::filesystem::file_size(path, error) >= (from + frames) * 4; }, 10s);
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from * 4));
    std::vector<int16_t> mix(frames * 2);
    in.read(reinterpret_cast<char*>(mix.data()), static_cast<std::streamsize>(mix.size() * 2));
    mix.resize(static_cast<size_t>(in.gcount()) / 2);
    return mix;
}

int64_t waitInMix(const std::filesystem::path& path, uint64_t from, uint64_t frames,
                  const std::function<int64_t(const std::vector<int16_t>& mix)>& found) {
    int64_t at = -1;
    waitUntil(
        [&] {
            std::error_code error;
            const uint64_t written = std::filesystem::file_size(path, error) / 4;
            const uint64_t available = written > from ? std::min(written - from, frames) : 0;
            at = found(readMix(path, from, available));
            return at >= 0 || available == frames;
        },
        10s);
    return at;
}

int64_t firstSounding(const std::vector<int16_t>& mix) {
    const auto at = std::find_if(mix.begin(), mix.end(), [](int16_t sample) { return sample; });
    return at == mix.end() ? -1 : (at - mix.begin()) / 2;
}

int64_t lastSounding(const std::vector<int16_t>& mix) {
    const auto at = std::find_if(mix.rbegin(), mix.rend(), [](int16_t sample) { return sample; });
    return at == mix.rend() ? -1 : (mix.rend() - at - 1) / 2;
}

double rms(const std::vector<int16_t>& mix, int64_t from, int64_t frames) {
    double sum = 0;
    for (int64_t frame = from; frame < from + frames; ++frame) {
        const double value = mix.at(static_cast<size_t>(frame) * 2);
        sum += value * value;
    }
    return std::sqrt(sum / static_cast<double>(frames));
}

}  // namespace velozor::testing
