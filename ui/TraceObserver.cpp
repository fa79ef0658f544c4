// Formatting of the trace lines.
#include "ui/TraceObserver.h"

#include <string>

namespace velozor {

void TraceObserver::onKey(int16_t keyCode) {
    line(("key\t" + std::to_string(keyCode)).c_str());
}

void TraceObserver::line(const char* event) {
    const double milliseconds = static_cast<double>(clock_.now().count()) / 1000.0;
    std::fprintf(out_, "%.3f\t%s\n", milliseconds, event);
    std::fflush(out_);  // a reader sees each event as it happens
}

}  // namespace velozor
