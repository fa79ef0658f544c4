// Plain measurements: RMS windows, the RMS frequency, power spectra, MP3 decoding.
#include "tests/tools/soundpack/SoundMeasures.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

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

namespace {

// In-place radix-2 FFT; `values.size()` is a power of two.
void fourierTransform(std::vector<std::complex<double>>& values) {
    const std::size_t size = values.size();
    for (std::size_t i = 1, j = 0; i < size; ++i) {
        std::size_t bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (std::size_t length = 2; length <= size; length <<= 1) {
        const std::complex<double> turn = std::polar(1.0, -2.0 * std::numbers::pi / length);
        for (std::size_t start = 0; start < size; start += length) {
            std::complex<double> twiddle = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = values[start + k];
                const std::complex<double> odd = values[start + k + length / 2] * twiddle;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                twiddle *= turn;
            }
        }
    }
}

}  // namespace

std::vector<std::size_t> Spectrum::strongBins(double withinDb) const {
    const double strongest = *std::max_element(power.begin(), power.end());
    std::vector<std::size_t> bins;
    for (std::size_t bin = 0; bin < power.size(); ++bin) {
        if (power[bin] >= strongest * std::pow(10.0, -withinDb / 10.0))
            bins.push_back(bin);
    }
    return bins;
}

double Spectrum::powerDb(const std::vector<std::size_t>& bins) const {
    double sum = bins.empty() ? std::accumulate(power.begin(), power.end(), 0.0) : 0.0;
    for (const std::size_t bin : bins)
        sum += power[bin];
    return 10.0 * std::log10(sum);
}

Spectrum powerSpectrum(const std::vector<float>& mono, std::size_t from, std::size_t frames) {
    constexpr std::size_t kWindow = 8192;
    std::vector<float> stretch(
        mono.begin() + std::min(from, mono.size()),
        mono.begin() + std::min(from + std::min(frames, mono.size()), mono.size()));
    stretch.resize(std::max(stretch.size(), kWindow), 0.0f);
    std::vector<double> hann(kWindow);
    double hannPower = 0.0;
    for (std::size_t i = 0; i < kWindow; ++i) {
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kWindow);
        hannPower += hann[i] * hann[i];
    }
    Spectrum spectrum{static_cast<double>(kSampleRate) / kWindow,
                      std::vector<double>(kWindow / 2 + 1, 0.0)};
    std::vector<std::complex<double>> values(kWindow);
    std::size_t windows = 0;
    for (std::size_t at = 0; at + kWindow <= stretch.size(); at += kWindow / 2, ++windows) {
        for (std::size_t i = 0; i < kWindow; ++i)
            values[i] = hann[i] * stretch[at + i];
        fourierTransform(values);
        for (std::size_t bin = 0; bin < spectrum.power.size(); ++bin) {
            // Both halves of the two-sided spectrum, except at 0 Hz and half the rate; scaled
            // so the bins add up to the window's mean square (Parseval).
            const double sides = bin == 0 || bin == kWindow / 2 ? 1.0 : 2.0;
            spectrum.power[bin] += sides * std::norm(values[bin]) / (kWindow * hannPower);
        }
    }
    for (double& power : spectrum.power)
        power /= static_cast<double>(windows);
    return spectrum;
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
