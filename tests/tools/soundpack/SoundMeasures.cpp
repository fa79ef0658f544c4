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
    double sum = 0.0;
    for (const std::size_t bin : bins)
        sum += power[bin];
    return 10.0 * std::log10(sum);
}

double Spectrum::totalDb() const {
    return 10.0 * std::log10(std::accumulate(power.begin(), power.end(), 0.0));
}

std::vector<Spectrum> spectraOverTime(const std::vector<float>& mono, std::size_t windowFrames) {
    std::vector<float> padded = mono;
    if (padded.size() < windowFrames)
        padded.resize(windowFrames, 0.0f);
    std::vector<double> hann(windowFrames);
    double hannPower = 0.0;
    for (std::size_t i = 0; i < windowFrames; ++i) {
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / windowFrames);
        hannPower += hann[i] * hann[i];
    }
    std::vector<Spectrum> spectra;
    std::vector<std::complex<double>> values(windowFrames);
    for (std::size_t at = 0; at + windowFrames <= padded.size(); at += windowFrames / 2) {
        for (std::size_t i = 0; i < windowFrames; ++i)
            values[i] = hann[i] * padded[at + i];
        fourierTransform(values);
        Spectrum spectrum{static_cast<double>(kSampleRate) / windowFrames,
                          std::vector<double>(windowFrames / 2 + 1)};
        for (std::size_t bin = 0; bin < spectrum.power.size(); ++bin) {
            // Both halves of the two-sided spectrum, except at 0 Hz and half the rate; scaled
            // so the bins add up to the window's mean square (Parseval).
            const double sides = bin == 0 || bin == windowFrames / 2 ? 1.0 : 2.0;
            spectrum.power[bin] = sides * std::norm(values[bin]) / (windowFrames * hannPower);
        }
        spectra.push_back(std::move(spectrum));
    }
    return spectra;
}

Spectrum average(std::vector<Spectrum>::const_iterator first,
                 std::vector<Spectrum>::const_iterator last) {
    Spectrum sum{first->binHz, std::vector<double>(first->power.size(), 0.0)};
    for (auto it = first; it != last; ++it) {
        for (std::size_t bin = 0; bin < sum.power.size(); ++bin)
            sum.power[bin] += it->power[bin];
    }
    for (double& power : sum.power)
        power /= static_cast<double>(last - first);
    return sum;
}

Spectrum powerSpectrum(const std::vector<float>& mono, std::size_t windowFrames) {
    const std::vector<Spectrum> spectra = spectraOverTime(mono, windowFrames);
    return average(spectra.begin(), spectra.end());
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
