// The sound back ends' once-only warnings.
#include "sound/WarningLog.h"

#include <iostream>

namespace velozor {

void WarningLog::warnOnce(const std::string& key, const std::string& message) {
    if (warned_.insert(key).second)
        std::cerr << "velozor: " << message << "\n";
}

}  // namespace velozor
