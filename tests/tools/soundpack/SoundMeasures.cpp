// Plain measurements: RMS windows, a radix-2 FFT for the spectral centroid, MP3 decoding.
#include "tests/tools/soundpack/SoundMeasures.h"

#include <mpg123.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

#include "tools/soundpack/Level.h"

namespace velozor::soundpack {

namespace {

void fft(std::vector<std::complex<double>>& values) {
    const std::size_t size = values.size();
    for (std::size_t i = 1, j = 0; i < size; ++i) {
        std::size_t bit = size >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(values[i], values[j]);
        }
    }
    for (std::size_t length = 2; length <= size; length <<= 1) {
        const std::complex<double> turn = std::polar(1.0, -2.0 * std::numbers::pi / length);
        for (std::size_t start = 0; start < size; start += length) {
            std::complex<double> twiddle = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const auto even = values[start + k];
                const auto odd = values[start + k + length / 2] * twiddle;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                twiddle *= turn;
            }
        }
    }
}

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

}  // namespace

std::vector<float> channel(const AudioBuffer& audio, int index) {
    std::vector<float> out(audio.frames());
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = audio.samples[i * audio.channels + index];
    }
    return out;
}

std::vector<float> downmix(const AudioBuffer& audio) {
    std::vector<float> out(audio.frames(), 0.0f);
    for (std::size_t i = 0; i < audio.samples.size(); ++i) {
        out[i / audio.channels] += audio.samples[i] / static_cast<float>(audio.channels);
    }
    return out;
}

double spectralCentroidHz(const std::vector<float>& mono) {
    std::size_t size = 1;
    while (size < mono.size()) {
        size <<= 1;
    }
    std::vector<std::complex<double>> values(size);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        values[i] = mono[i];
    }
    fft(values);
    double weighted = 0.0;
    double total = 0.0;
    for (std::size_t bin = 1; bin < size / 2; ++bin) {
        const double magnitude = std::abs(values[bin]);
        weighted += magnitude * bin * kSampleRate / static_cast<double>(size);
        total += magnitude;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

std::vector<double> windowedRmsDb(const std::vector<float>& mono, double windowSeconds) {
    const std::size_t window = framesFor(windowSeconds);
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= mono.size(); at += window) {
        levels.push_back(rmsDb(std::vector<float>(mono.begin() + at, mono.begin() + at + window)));
    }
    return levels;
}

double activeShare(const std::vector<float>& mono, double thresholdDb) {
    const std::vector<double> levels = windowedRmsDb(mono, 0.02);
    if (levels.empty()) {
        return 0.0;
    }
    std::size_t active = 0;
    for (const double level : levels) {
        active += level > thresholdDb ? 1 : 0;
    }
    return static_cast<double>(active) / levels.size();
}

DecodedMp3 decodeMp3(const std::filesystem::path& file) {
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
    if (!handle) {
        throw std::runtime_error(std::string("cannot start libmpg123: ") +
                                 mpg123_plain_strerror(error));
    }
    mpg123_format_none(handle.get());
    for (const long rate : {32000L, 44100L, 48000L}) {
        mpg123_format(handle.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open(handle.get(), file.c_str()) != MPG123_OK) {
        throw std::runtime_error("cannot open " + file.string() + ": " +
                                 mpg123_strerror(handle.get()));
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) {
        throw std::runtime_error("no MPEG audio in " + file.string() + ": " +
                                 mpg123_strerror(handle.get()));
    }
    DecodedMp3 decoded;
    decoded.sampleRate = static_cast<int>(rate);
    decoded.audio.channels = channels;
    std::vector<short> block(16384);
    for (;;) {
        std::size_t bytes = 0;
        const int result =
            mpg123_read(handle.get(), block.data(), block.size() * sizeof(short), &bytes);
        for (std::size_t i = 0; i < bytes / sizeof(short); ++i) {
            decoded.audio.samples.push_back(block[i] / 32768.0f);
        }
        if (result == MPG123_DONE) {
            break;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            throw std::runtime_error("decoding " + file.string() +
                                     " failed: " + mpg123_strerror(handle.get()));
        }
    }
    return decoded;
}

}  // namespace velozor::soundpack
