// Formatting of the trace lines, and whether the player asked for them.
#include "ui/TraceObserver.h"

#include <cstdlib>
#include <string>

#include "base/ErrorLine.h"

namespace velozor {

void TraceObserver::onEvent(const std::string& name) {
    const double milliseconds = static_cast<double>(clock_.now().count()) / 1000.0;
    std::fprintf(out_, "%.3f\t%s\n", milliseconds, name.c_str());
    std::fflush(out_);  // a reader sees each event as it happens
}

bool traceRequested(Language language) {
    const char* value = std::getenv("VELOZOR_TRACE");
    if (value == nullptr || *value == '\0' || std::string(value) == "0")
        return false;
    if (std::string(value) == "1")
        return true;
    writeErrorLine(language, "no se tiene en cuenta VELOZOR_TRACE={}: ponlo a 1 para trazar",
                   "VELOZOR_TRACE={} is ignored: set it to 1 to trace", {value});
    return false;
}

}  // namespace velozor
