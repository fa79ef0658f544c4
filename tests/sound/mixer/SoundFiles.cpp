// Sound fixtures and the disk driver's output, for the mixer tests.
#include "SoundFiles.h"

#include <lame/lame.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <thread>

namespace velozor::testing {

namespace {

// Writes `value` as `bytes` little-endian bytes, as RIFF wants.
void put(std::ofstream& out, uint32_t value, int bytes) {
    for (int at = 0; at < bytes; ++at)
        out.put(static_cast<char>((value >> (8 * at)) & 0xFF));
}

}  // namespace

void writeWav(const std::filesystem::path& path, int frames,
              const std::function<int16_t(int frame)>& sample) {
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    const uint32_t dataBytes = static_cast<uint32_t>(frames) * 4;
    out.write("RIFF", 4);
    put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    // Chunk size 16, PCM, 2 channels, the rate, bytes per second, 4 bytes a frame, 16 bits.
    const uint32_t fields[] = {16, 1, 2, kRate, kRate * 4, 4, 16};
    const int sizes[] = {4, 2, 2, 4, 4, 2, 2};
    for (int at = 0; at < 7; ++at)
        put(out, fields[at], sizes[at]);
    out.write("data", 4);
    put(out, dataBytes, 4);
    for (int frame = 0; frame < frames; ++frame) {
        const auto value = static_cast<uint16_t>(sample(frame));
        put(out, value, 2);
        put(out, value, 2);
    }
}

void writeMp3(const std::filesystem::path& path, int frames, int16_t amplitude) {
    std::vector<short> pcm(static_cast<size_t>(frames) * 2);
    for (int frame = 0; frame < frames; ++frame) {
        const double phase = 2.0 * std::numbers::pi * 441.0 * frame / kRate;
        pcm[2 * frame] = pcm[2 * frame + 1] =
            static_cast<short>(std::lround(amplitude * std::sin(phase)));
    }
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, kRate);
    lame_set_out_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 192);
    if (lame_init_params(lame) < 0)
        throw std::runtime_error("LAME refused its parameters");
    std::vector<unsigned char> mp3(static_cast<size_t>(frames) * 5 / 4 + 7200 + 7200);
    int written = lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(),
                                                 static_cast<int>(mp3.size()));
    if (written < 0)
        throw std::runtime_error("LAME failed to encode");
    const int flushed =
        lame_encode_flush(lame, mp3.data() + written, static_cast<int>(mp3.size()) - written);
    lame_close(lame);
    if (flushed < 0)
        throw std::runtime_error("LAME failed to flush");
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), written + flushed);
}

std::vector<int16_t> readMix(const std::filesystem::path& path, uint64_t from, uint64_t frames) {
    const uint64_t wantedBytes = (from + frames) * 4;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::error_code error;
    while (std::filesystem::file_size(path, error) < wantedBytes &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from * 4));
    std::vector<int16_t> mix(frames * 2);
    in.read(reinterpret_cast<char*>(mix.data()), static_cast<std::streamsize>(mix.size() * 2));
    mix.resize(static_cast<size_t>(in.gcount()) / 2);
    return mix;
}

int64_t waitInMix(const std::filesystem::path& path, uint64_t from, uint64_t frames,
                  const std::function<int64_t(const std::vector<int16_t>& mix)>& found) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        std::error_code error;
        const uint64_t written = std::filesystem::file_size(path, error) / 4;
        const uint64_t available = written > from ? std::min(written - from, frames) : 0;
        const int64_t at = found(readMix(path, from, available));
        if (at >= 0 || available == frames || std::chrono::steady_clock::now() > deadline)
            return at;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
