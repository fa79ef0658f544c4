// A random source that reports every reseed and draw of the one it wraps to the trace.
#pragma once

#include <cstdio>

#include "game/RandomSource.h"
#include "tools/sim/TraceWriter.h"

namespace velozor::sim {

class TracingRandom final : public RandomSource {
public:
    TracingRandom(RandomSource& inner, TraceWriter& trace) : inner_(inner), trace_(trace) {}

    void randomize() override {
        trace_.line("randomize");
        inner_.randomize();
    }
    float rnd() override {
        const float u = inner_.rnd();
        char text[32];
        // %.9g prints a float's exact value back: it is the number the game uses.
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(u));
        trace_.line(std::string("rnd\t") + text);
        return u;
    }

private:
    RandomSource& inner_;
    TraceWriter& trace_;
};

}  // namespace velozor::sim
