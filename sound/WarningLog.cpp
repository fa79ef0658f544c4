// The sound back ends' once-only warnings.
#include "sound/WarningLog.h"

#include "base/ErrorLine.h"

namespace velozor {

void WarningLog::warnOnce(const std::string& key, std::string_view spanish,
                          std::string_view english,
                          std::initializer_list<std::string_view> details) {
    warnOnce(key, inLanguage(language_, spanish, english, details));
}

void WarningLog::warnOnce(const std::string& key, const std::string& message) {
    if (warned_.insert(key).second)
        writeErrorLine(message);
}

}  // namespace velozor
