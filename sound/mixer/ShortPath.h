// GetShortPathNameA on the mixer back end: the native path under which a game path opens.
#pragma once

#include <cstdint>

#include "sound/WarningLog.h"

namespace velozor {

// Writes the path resolveGamePath finds for `longPath` into `shortPath`, under the contract
// of SoundPlatform::GetShortPathNameA. A file that does not exist is reported in `warnings`.
uint32_t writeShortPath(const char* longPath, char* shortPath, uint32_t bufferLength,
                        WarningLog& warnings);

}  // namespace velozor
