// The game names every sound under <program folder>\sonidos\, as it always has; the player's
// sounds may be elsewhere: in the folder of another language, or in the player's own. This
// platform stands before the back end and hands it each such path moved into the folder chosen
// for the player; commands and every other path pass through unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sound/SoundPlatform.h"

namespace velozor {

// The part of `gamePath` below `programFolder`\sonidos\, the folder every game path names
// ("intro\arch 1.wav"); nullopt for a path anywhere else.
std::optional<std::string_view> pathInGameSoundFolder(std::string_view gamePath,
                                                      std::string_view programFolder);

// `gamePath` as the back end gets it: below `programFolder`\sonidos\, moved into `soundFolder`
// (the rest keeps its '\', which the back ends read as separators); any other path as it is.
std::string soundPathOnDisk(std::string_view gamePath, std::string_view programFolder,
                            std::string_view soundFolder);

class SoundFolderRedirect final : public SoundPlatform {
public:
    // `programFolder` as the game's paths begin (see Form1); `soundFolder` the folder to play
    // from instead of `programFolder`\sonidos, as the back end opens it (native separators).
    // `backEnd` must outlive this.
    SoundFolderRedirect(SoundPlatform& backEnd, std::string programFolder, std::string soundFolder);

    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    int32_t mciExecute(const char* command) override;
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

private:
    std::string onDisk(const char* gamePath) const;

    SoundPlatform& backEnd_;
    std::string programFolder_;
    std::string soundFolder_;
};

}  // namespace velozor
