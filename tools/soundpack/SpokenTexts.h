// The words of the sound folder in each language it can be made in.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/Language.h"

namespace velozor::soundpack {

// eSpeak NG's voice for the language, from the Debian package espeak-ng-data ("es", "en").
const char* voiceName(Language language);

// The words of a spoken file, by its place in the folder ("dosVidas.wav"), in `language`. The
// files that open with a sound ("intro/arch 1.wav", "chocaste.wav") give the words after it.
// Throws std::logic_error naming the file when it has no words.
const std::string& spokenText(Language language, std::string_view path);

// The count-in of the introduction: three numbers down, then "go".
std::array<std::string, 4> countInWords(Language language);

}  // namespace velozor::soundpack
