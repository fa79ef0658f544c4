// Finds the system's sans-serif font through fontconfig, for the credits label.
#pragma once

#include <optional>
#include <string>

#include "base/Language.h"

namespace velozor {

struct FontFile {
    std::string path;
    int faceIndex = 0;  // the face within a collection file (.ttc); 0 for a plain font file
};

// What a look-up of the font found: the file, or, when fontconfig has no font at all or picks
// one that is not a file, a message saying what to install, in the language asked for.
struct SansFontLookup {
    std::optional<FontFile> file;
    std::string error;
};

// The file fontconfig picks for "sans". Safe on any thread: the program looks it up on one of
// its own while SDL's video starts, since a cold look-up takes tens of milliseconds.
SansFontLookup findSansFont(Language language = Language::Spanish);

}  // namespace velozor
