// Band-limited interpolation with a Blackman-windowed sinc kernel of about 2 x 16 taps. The
// rates are reduced to a ratio of whole numbers, so the kernel takes only a few distinct
// phases, which are computed once.
#include "tools/soundpack/Resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>

namespace velozor::soundpack {

namespace {

constexpr int kHalfTaps = 16;
// More kernel phases than this would mean rates with no small common ratio.
constexpr long kMaxPhases = 8192;

double blackman(double x) {  // x in [-1, 1]
    const double a = std::numbers::pi * (x + 1.0);
    return 0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2.0 * a);
}

double sinc(double x) {
    if (std::abs(x) < 1e-12) {
        return 1.0;
    }
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

}  // namespace

std::vector<float> resample(const std::vector<float>& mono, int fromRate, int toRate) {
    if (fromRate <= 0 || toRate <= 0) {
        throw std::invalid_argument("resample: sample rates must be positive (got " +
                                    std::to_string(fromRate) + " and " + std::to_string(toRate) +
                                    ")");
    }
    if (fromRate == toRate || mono.empty()) {
        return mono;
    }
    const long divisor = std::gcd(fromRate, toRate);
    const long up = toRate / divisor;      // output frames per period
    const long down = fromRate / divisor;  // input frames per period
    if (up > kMaxPhases) {
        throw std::invalid_argument("resample: no small ratio between " + std::to_string(fromRate) +
                                    " and " + std::to_string(toRate) + " frames per second");
    }
    const double step = static_cast<double>(down) / up;      // input frames per output frame
    const double cutoff = std::min(1.0, 1.0 / step) * 0.95;  // relative to the input Nyquist
    const double reach = kHalfTaps / cutoff;
    const long width = static_cast<long>(std::ceil(reach)) + 1;  // taps either side of floor(t)

    // kernel[phase][j] weighs input frame floor(t) - width + 1 + j, where t = floor(t) + phase /
    // up.
    const long taps = 2 * width;
    std::vector<double> kernel(up * taps);
    for (long phase = 0; phase < up; ++phase) {
        const double fraction = static_cast<double>(phase) / up;
        for (long j = 0; j < taps; ++j) {
            const double distance = fraction + width - 1 - j;
            kernel[phase * taps + j] =
                std::abs(distance) >= reach
                    ? 0.0
                    : cutoff * sinc(cutoff * distance) * blackman(distance / reach);
        }
    }

    const auto inputSize = static_cast<long>(mono.size());
    const auto outputSize = static_cast<std::size_t>((inputSize * up + down - 1) / down);
    std::vector<float> output(outputSize);
    for (std::size_t n = 0; n < outputSize; ++n) {
        const long position = static_cast<long>(n) * down;
        const long base = position / up;
        const long phase = position % up;
        const double* weights = &kernel[phase * taps];
        double sum = 0.0;
        for (long j = 0; j < taps; ++j) {
            const long k = base - width + 1 + j;
            if (k >= 0 && k < inputSize) {
                sum += mono[k] * weights[j];
            }
        }
        output[n] = static_cast<float>(sum);
    }
    return output;
}

}  // namespace velozor::soundpack
