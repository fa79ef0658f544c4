// The program's lines on standard error: "velozor: ", the text and a newline, each written whole
// at once, so that lines from the game's and the sound's threads never mix.
#pragma once

#include <initializer_list>
#include <string_view>

#include "base/Language.h"

namespace velozor {

// Writes "velozor: `text`\n" on standard error.
void writeErrorLine(std::string_view text);

// The same for the one of `spanish` and `english` in `language`, filled with `details` as
// inLanguage does.
void writeErrorLine(Language language, std::string_view spanish, std::string_view english,
                    std::initializer_list<std::string_view> details = {});

}  // namespace velozor
