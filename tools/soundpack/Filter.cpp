// Biquad coefficients after R. Bristow-Johnson's audio EQ cookbook.
#include "tools/soundpack/Filter.h"

#include <cmath>
#include <numbers>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::soundpack {

namespace {

struct Angle {
    double cosine;
    double alpha;
};

Angle angleFor(double frequencyHz, double q) {
    const double omega = 2.0 * std::numbers::pi * frequencyHz / kSampleRate;
    return {std::cos(omega), std::sin(omega) / (2.0 * q)};
}

}  // namespace

Filter::Filter(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

Filter Filter::lowPass(double cutoffHz, double q) {
    const Angle w = angleFor(cutoffHz, q);
    return Filter((1 - w.cosine) / 2, 1 - w.cosine, (1 - w.cosine) / 2, 1 + w.alpha, -2 * w.cosine,
                  1 - w.alpha);
}

Filter Filter::highPass(double cutoffHz, double q) {
    const Angle w = angleFor(cutoffHz, q);
    return Filter((1 + w.cosine) / 2, -(1 + w.cosine), (1 + w.cosine) / 2, 1 + w.alpha,
                  -2 * w.cosine, 1 - w.alpha);
}

Filter Filter::bandPass(double centreHz, double q) {
    const Angle w = angleFor(centreHz, q);
    return Filter(w.alpha, 0, -w.alpha, 1 + w.alpha, -2 * w.cosine, 1 - w.alpha);
}

float Filter::process(float input) {
    const double output = b0_ * input + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = input;
    y2_ = y1_;
    y1_ = output;
    return static_cast<float>(output);
}

}  // namespace velozor::soundpack
