// The mixer's finder of sound files for the start-up check.
#include "sound/mixer/SoundFileFinder.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "sound/mixer/PathResolver.h"

namespace velozor {

SoundFileOnDisk findMixerSoundFile(const std::string& gamePath) {
    SoundFileOnDisk found;
    const std::optional<ResolvedFile> file = resolveGamePath(gamePath);
    if (!file) {
        found.path = gamePath;
        std::replace(found.path.begin(), found.path.end(), '\\', '/');
        return found;
    }
    found.path = file->path;
    if (!file->isRegularFile) {
        found.kind = SoundFileOnDisk::Kind::NotARegularFile;
        return found;
    }
    found.kind = SoundFileOnDisk::Kind::RegularFile;
    found.file.reset(std::fopen(file->path.c_str(), "rb"));
    found.openError = found.file ? 0 : errno;
    return found;
}

}  // namespace velozor
