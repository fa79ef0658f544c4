// Turns the game's sound paths (backslashed, as the game writes them) into native paths that
// exist on disk, tolerating the case and the accent encodings of a folder copied from another
// system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velozor {

// A file found on disk, with what identifies its contents for the sample cache.
struct ResolvedFile {
    std::string path;           // native, '/'-separated; opens as it is
    int64_t size = 0;           // bytes
    int64_t modifiedNanos = 0;  // modification time, nanoseconds since the epoch
    bool isRegularFile = false;
};

// Every "\" of `gamePath` becomes "/"; each component is then matched against the folder that
// holds it: byte for byte first, and failing that case-insensitively and with "á" and the
// other Latin-1 letters equal whether written as UTF-8 NFC, UTF-8 NFD (base letter followed
// by a combining accent) or single Latin-1 bytes. There is no length limit beyond the file
// system's own. Returns nullopt when no such file or folder exists (or one of the folders on
// the way cannot be read). When several names in one folder match alike, the first in byte
// order wins, so the answer does not depend on directory order.
std::optional<ResolvedFile> resolveGamePath(std::string_view gamePath);

// The comparison key of one path component: Latin-1 letters lower-cased and composed, written
// as UTF-8. Names that denote the same component for resolveGamePath have the same key.
std::string foldedName(std::string_view component);

}  // namespace velozor
