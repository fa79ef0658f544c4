// Conversions between the game's UTF-8 text and the UTF-16 text of the Windows wide-character
// calls, so that any folder name reaches the system whatever its ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace velozor {

// Invalid UTF-8 bytes become U+FFFD; the game's own text is always valid.
std::wstring wideFromUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string utf8FromWide(std::wstring_view text);

// The system's text for a GetLastError() code, one line without a trailing period, e.g.
// "The specified module could not be found"; "error N" when the system has none.
std::string systemErrorText(unsigned long error);

}  // namespace velozor
