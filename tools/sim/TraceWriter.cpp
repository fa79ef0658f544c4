// The simulator's trace lines.
#include "tools/sim/TraceWriter.h"

namespace velozor::sim {

void TraceWriter::line(Micros time, const std::string& fields) {
    out_ << std::chrono::duration_cast<std::chrono::milliseconds>(time).count() << '\t' << fields
         << '\n';
    out_.flush();
}

}  // namespace velozor::sim
