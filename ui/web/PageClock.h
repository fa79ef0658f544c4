// The page's clock: the browser's monotonic performance.now(), from the moment the game started.
#pragma once

#include <emscripten.h>

#include "base/Clock.h"

namespace velozor {

class PageClock final : public Clock {
public:
    PageClock() : start_(emscripten_get_now()) {}
    Micros now() const override {
        return Micros(static_cast<Micros::rep>((emscripten_get_now() - start_) * 1000.0));
    }

private:
    double start_;  // milliseconds of performance.now()
};

}  // namespace velozor
