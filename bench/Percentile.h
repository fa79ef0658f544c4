// The benchmarks' one percentile, so that every median, "p50" and "p99" they print means the
// same: the nearest rank, as docs/performance.md states it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "base/Assert.h"

namespace velozor::bench {

// The nearest-rank percentile of `values`: the smallest value with at least `fraction`
// (0 to 1) of all the values at or below it, the ceil(fraction * n)-th smallest of n (the
// smallest for 0). A value that was measured, never one between two; of an even count, the
// median is the lower middle one; with fewer than 100 values, the 99th percentile is the largest.
inline double percentile(std::vector<double> values, double fraction) {
    VELOZOR_ASSERT(!values.empty() && fraction >= 0 && fraction <= 1,
                   "percentile takes some values and a fraction from 0 to 1; check that the "
                   "benchmark measured anything before it reports");
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * values.size()));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace velozor::bench
