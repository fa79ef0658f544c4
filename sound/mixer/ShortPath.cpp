// The mixer back end's short paths.
#include "sound/mixer/ShortPath.h"

#include <cstring>
#include <optional>
#include <string>

#include "sound/mixer/PathResolver.h"

namespace velozor {

uint32_t writeShortPath(const char* longPath, char* shortPath, uint32_t bufferLength,
                        WarningLog& warnings) {
    if (longPath == nullptr)
        return 0;
    const std::optional<ResolvedFile> file = resolveGamePath(longPath);
    if (!file) {
        warnings.warnOnce(longPath, "no se encuentra el archivo de sonido {}",
                          "sound file not found: {}", {longPath});
        return 0;
    }
    const auto needed = static_cast<uint32_t>(file->path.size() + 1);
    if (shortPath == nullptr || needed > bufferLength)
        return needed;
    std::memcpy(shortPath, file->path.c_str(), needed);
    return needed - 1;
}

}  // namespace velozor
