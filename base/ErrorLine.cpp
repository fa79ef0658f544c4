// The program's lines on standard error.
#include "base/ErrorLine.h"

#include <iostream>
#include <string>

namespace velozor {

void writeErrorLine(std::string_view text) {
    std::string line = "velozor: ";
    line.append(text).append("\n");
    std::cerr << line;  // one write, and std::cerr flushes it at once
}

void writeErrorLine(Language language, std::string_view spanish, std::string_view english,
                    std::initializer_list<std::string_view> details) {
    writeErrorLine(inLanguage(language, spanish, english, details));
}

}  // namespace velozor
