// The game's sound paths moved into the player's sound folder.
#include "sound/SoundFolderRedirect.h"

#include <utility>

namespace velozor {

std::optional<std::string_view> pathInGameSoundFolder(std::string_view gamePath,
                                                      std::string_view programFolder) {
    constexpr std::string_view kGameFolder = "\\sonidos\\";
    if (!gamePath.starts_with(programFolder) ||
        !gamePath.substr(programFolder.size()).starts_with(kGameFolder))
        return std::nullopt;
    return gamePath.substr(programFolder.size() + kGameFolder.size());
}

std::string soundPathOnDisk(std::string_view gamePath, std::string_view programFolder,
                            std::string_view soundFolder) {
    if (const std::optional<std::string_view> inFolder =
            pathInGameSoundFolder(gamePath, programFolder))
        return std::string(soundFolder).append("\\").append(*inFolder);
    return std::string(gamePath);
}

SoundFolderRedirect::SoundFolderRedirect(SoundPlatform& backEnd, std::string programFolder,
                                         std::string soundFolder)
    : backEnd_(backEnd),
      programFolder_(std::move(programFolder)),
      soundFolder_(std::move(soundFolder)) {}

std::string SoundFolderRedirect::onDisk(const char* gamePath) const {
    return soundPathOnDisk(gamePath, programFolder_, soundFolder_);
}

int32_t SoundFolderRedirect::sndPlaySoundA(const char* soundName, uint32_t flags) {
    if (soundName == nullptr)
        return backEnd_.sndPlaySoundA(nullptr, flags);
    return backEnd_.sndPlaySoundA(onDisk(soundName).c_str(), flags);
}

uint32_t SoundFolderRedirect::mciSendStringA(const char* command, char* returnString,
                                             uint32_t returnLength, uintptr_t callbackWindow) {
    return backEnd_.mciSendStringA(command, returnString, returnLength, callbackWindow);
}

int32_t SoundFolderRedirect::mciExecute(const char* command) {
    return backEnd_.mciExecute(command);
}

uint32_t SoundFolderRedirect::GetShortPathNameA(const char* longPath, char* shortPath,
                                                uint32_t bufferLength) {
    if (longPath == nullptr)
        return backEnd_.GetShortPathNameA(nullptr, shortPath, bufferLength);
    return backEnd_.GetShortPathNameA(onDisk(longPath).c_str(), shortPath, bufferLength);
}

}  // namespace velozor
