// The program's real clock on Windows: the performance counter, counted from the program's start.
#pragma once

#include <windows.h>

#include "base/Clock.h"

namespace velozor {

class QpcClock final : public Clock {
public:
    // Time zero is the moment of construction; make the clock first thing in main.
    QpcClock() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }

    // Microseconds since construction. The counter is monotonic on every supported Windows;
    // the split into seconds and remainder keeps the product from overflowing.
    Micros now() const override {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        const long long ticks = count.QuadPart - start_.QuadPart;
        const long long perSecond = frequency_.QuadPart;
        return Micros((ticks / perSecond) * 1'000'000 +
                      (ticks % perSecond) * 1'000'000 / perSecond);
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

}  // namespace velozor
