// A second-order (biquad) filter, for shaping the colour of tones and noise.
#pragma once

namespace velozor::soundpack {

// Direct form I biquad with the usual audio-cookbook coefficients, at kSampleRate.
class Filter {
public:
    static Filter lowPass(double cutoffHz, double q = 0.7071);
    static Filter highPass(double cutoffHz, double q = 0.7071);
    // Unity gain at the centre frequency.
    static Filter bandPass(double centreHz, double q);

    float process(float input);

private:
    Filter(double b0, double b1, double b2, double a0, double a1, double a2);

    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

}  // namespace velozor::soundpack
