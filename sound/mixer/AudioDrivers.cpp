// Looking up SDL's audio drivers in the table of what each needs.
#include "sound/mixer/AudioDrivers.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace velozor {

bool pipeWireRuns() {
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    std::string socket = remote != nullptr && *remote != '\0' ? remote : "pipewire-0";
    if (socket.front() != '/') {
        const char* folder = std::getenv("PIPEWIRE_RUNTIME_DIR");
        if (folder == nullptr || *folder == '\0')
            folder = std::getenv("XDG_RUNTIME_DIR");
        if (folder == nullptr || *folder == '\0')
            return false;
        socket = std::string(folder) + "/" + socket;
    }
    struct stat status {};
    return ::stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

const AudioDriver& audioDriverNamed(const char* name) {
    static_assert(std::size(kAudioDrivers) > 0 && std::end(kAudioDrivers)[-1].name == nullptr,
                  "the table's last row stands for every driver it does not name");
    for (const AudioDriver& driver : kAudioDrivers) {
        if (driver.name == nullptr || (name != nullptr && std::strcmp(driver.name, name) == 0))
            return driver;
    }
    return std::end(kAudioDrivers)[-1];
}

const AudioDriver& currentAudioDriver() {
    return audioDriverNamed(SDL_GetCurrentAudioDriver());
}

const AudioDriver& standInAudioDriver() {
    constexpr size_t kRow = [] {
        size_t row = 0;
        while (row < std::size(kAudioDrivers) && !kAudioDrivers[row].standsInForNoDevice)
            ++row;
        return row;
    }();
    static_assert(kRow < std::size(kAudioDrivers), "mark one row of kAudioDrivers as the stand-in");
    return kAudioDrivers[kRow];
}

}  // namespace velozor
