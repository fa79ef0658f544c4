// Plain measurements: RMS windows, power at chosen pitches, MP3 decoding.
#include "tests/tools/soundpack/SoundMeasures.h"

#include <mpg123.h>

#include <algorithm>
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

std::vector<double> windowedRmsDb(const std::vector<float>& mono, double windowSeconds) {
    const std::size_t window = framesFor(windowSeconds);
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= mono.size(); at += window)
        levels.push_back(rmsDb(std::vector<float>(mono.begin() + at, mono.begin() + at + window)));
    return levels;
}

double pitchPowerDb(const std::vector<float>& mono, const std::vector<double>& pitchesHz,
                    std::size_t from, std::size_t frames) {
    constexpr std::size_t kWindow = 8192;
    static const std::vector<double> hann = [] {
        std::vector<double> weights(kWindow);
        for (std::size_t i = 0; i < kWindow; ++i)
            weights[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kWindow);
        return weights;
    }();
    std::vector<float> stretch(
        mono.begin() + std::min(from, mono.size()),
        mono.begin() + std::min(from + std::min(frames, mono.size()), mono.size()));
    stretch.resize(std::max(stretch.size(), kWindow), 0.0f);
    double power = 0.0;
    std::size_t windows = 0;
    for (std::size_t at = 0; at + kWindow <= stretch.size(); at += kWindow / 2, ++windows) {
        for (const double hertz : pitchesHz) {
            const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / kSampleRate);
            double previous = 0.0;
            double beforeThat = 0.0;
            for (std::size_t i = 0; i < kWindow; ++i) {
                const double current =
                    hann[i] * stretch[at + i] + coefficient * previous - beforeThat;
                beforeThat = previous;
                previous = current;
            }
            // |X|^2, scaled by the Hann weights' sum (kWindow / 2) so a sine reads its mean square.
            power += 2.0 *
                     (previous * previous + beforeThat * beforeThat -
                      coefficient * previous * beforeThat) /
                     std::pow(kWindow / 2.0, 2);
        }
    }
    return 10.0 * std::log10(power / static_cast<double>(windows));
}

AudioBuffer decodeMp3(const std::filesystem::path& file) {
    const std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(
        mpg123_new(nullptr, nullptr), [](mpg123_handle* opened) { mpg123_delete(opened); });
    const auto fail = [&](const std::string& what) {
        return std::runtime_error(what + " " + file.string() + ": " +
                                  (handle ? mpg123_strerror(handle.get()) : "no libmpg123"));
    };
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    // Only kSampleRate is accepted, and libmpg123 must not resample another rate to it.
    if (!handle || mpg123_format_none(handle.get()) != MPG123_OK ||
        mpg123_param(handle.get(), MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0) != MPG123_OK ||
        mpg123_format(handle.get(), kSampleRate, MPG123_MONO | MPG123_STEREO,
                      MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open(handle.get(), file.c_str()) != MPG123_OK ||
        mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        throw fail("cannot decode");
    AudioBuffer decoded{channels, {}};
    std::vector<short> block(16384);
    for (int result = MPG123_OK; result != MPG123_DONE;) {
        std::size_t bytes = 0;
        result = mpg123_read(handle.get(), block.data(), block.size() * sizeof(short), &bytes);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT && result != MPG123_DONE)
            throw fail("decoding failed in");
        for (std::size_t i = 0; i < bytes / sizeof(short); ++i)
            decoded.samples.push_back(block[i] / 32768.0f);
    }
    return decoded;
}

}  // namespace velozor::soundpack
