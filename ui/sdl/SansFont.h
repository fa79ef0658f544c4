// Finds the system's sans-serif font through fontconfig, for the credits label.
#pragma once

#include <optional>
#include <string>

namespace velozor {

struct FontFile {
    std::string path;
    int faceIndex = 0;  // the face within a collection file (.ttc); 0 for a plain font file
};

// The file fontconfig picks for "sans". Returns nullopt and sets `error` to a message saying
// what to install when fontconfig has no font at all or picks one that is not a file.
std::optional<FontFile> findSansFont(std::string& error);

}  // namespace velozor
