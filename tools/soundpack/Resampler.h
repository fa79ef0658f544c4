// Changing the sample rate of a mono signal, to bring speech to the folder's rate.
#pragma once

#include <vector>

namespace velozor::soundpack {

// Windowed-sinc interpolation from `fromRate` to `toRate` (frames per second, both > 0).
// When lowering the rate, the content above the new Nyquist frequency is filtered out.
std::vector<float> resample(const std::vector<float>& mono, int fromRate, int toRate);

}  // namespace velozor::soundpack
