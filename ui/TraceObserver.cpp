// Formatting of the trace lines.
#include "ui/TraceObserver.h"

namespace velozor {

void TraceObserver::onEvent(const std::string& name) {
    const double milliseconds = static_cast<double>(clock_.now().count()) / 1000.0;
    std::fprintf(out_, "%.3f\t%s\n", milliseconds, name.c_str());
    std::fflush(out_);  // a reader sees each event as it happens
}

}  // namespace velozor
