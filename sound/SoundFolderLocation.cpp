// The sound folder's name and place.
#include "sound/SoundFolderLocation.h"

#include <filesystem>
#include <system_error>

namespace velozor {

const char* soundFolderName(Language language) {
    return language == Language::Spanish ? "sonidos" : "sounds";
}

std::string playerDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        return std::string(xdgDataHome) + "/velozor";
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share/velozor";
    return {};
}

std::string chooseSoundFolder(Language language, const std::string& programFolder,
                              const std::string& playerData) {
    if (!playerData.empty()) {
        const std::string own = playerData + "/" + soundFolderName(language);
        std::error_code unreadable;  // a folder that cannot be looked at is not the player's
        if (std::filesystem::is_directory(own, unreadable))
            return own;
    }
    return programFolder + "/" + soundFolderName(language);
}

}  // namespace velozor
