// Plain measurements: RMS windows, the RMS frequency, MP3 decoding.
#include "tests/tools/soundpack/SoundMeasures.h"

#include <mpg123.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

#include "tools/soundpack/Level.h"

namespace velozor::soundpack {

std::vector<float> channel(const AudioBuffer& audio, int index) {
    std::vector<float> out(audio.frames());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = audio.samples[i * audio.channels + index];
    return out;
}

std::vector<float> downmix(const AudioBuffer& audio) {
    std::vector<float> out(audio.frames(), 0.0f);
    for (std::size_t i = 0; i < audio.samples.size(); ++i)
        out[i / audio.channels] += audio.samples[i] / static_cast<float>(audio.channels);
    return out;
}

double rmsFrequencyHz(const std::vector<float>& mono) {
    // The first difference weighs each frequency's power by |1 - e^-iw|^2 = 4 sin^2(w / 2).
    double differences = 0.0;
    double power = 0.0;
    for (std::size_t i = 1; i < mono.size(); ++i) {
        differences += std::pow(double{mono[i]} - mono[i - 1], 2);
        power += std::pow(double{mono[i]}, 2);
    }
    return power > 0.0
               ? kSampleRate / std::numbers::pi * std::asin(std::sqrt(differences / power) / 2)
               : 0.0;
}

std::vector<double> windowedRmsDb(const std::vector<float>& mono, double windowSeconds) {
    const std::size_t window = framesFor(windowSeconds);
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= mono.size(); at += window)
        levels.push_back(rmsDb(std::vector<float>(mono.begin() + at, mono.begin() + at + window)));
    return levels;
}

DecodedMp3 decodeMp3(const std::filesystem::path& file) {
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &error),
                                                                    [](mpg123_handle* opened) {
                                                                        mpg123_close(opened);
                                                                        mpg123_delete(opened);
                                                                    });
    if (!handle) {
        throw std::runtime_error(std::string("cannot start libmpg123: ") +
                                 mpg123_plain_strerror(error));
    }
    const auto fail = [&](const std::string& what) {
        return std::runtime_error(what + " " + file.string() + ": " +
                                  mpg123_strerror(handle.get()));
    };
    mpg123_format_none(handle.get());
    for (const long rate : {32000L, 44100L, 48000L}) {
        mpg123_format(handle.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(handle.get(), file.c_str()) != MPG123_OK)
        throw fail("cannot open");
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        throw fail("no MPEG audio in");
    DecodedMp3 decoded{static_cast<int>(rate), AudioBuffer{channels, {}}};
    std::vector<short> block(16384);
    for (int result = MPG123_OK; result != MPG123_DONE;) {
        std::size_t bytes = 0;
        result = mpg123_read(handle.get(), block.data(), block.size() * sizeof(short), &bytes);
        for (std::size_t i = 0; i < bytes / sizeof(short); ++i) {
            decoded.audio.samples.push_back(block[i] / 32768.0f);
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT && result != MPG123_DONE)
            throw fail("decoding failed:");
    }
    return decoded;
}

}  // namespace velozor::soundpack
