// The game's sound paths as names and URLs of the page's sound folder.
#include "sound/web/SoundUrl.h"

#include <algorithm>
#include <cctype>

#include "sound/SoundFolderRedirect.h"

namespace velozor {

namespace {

constexpr std::string_view kWave = ".wav";

bool endsWithWave(std::string_view name) {
    if (name.size() < kWave.size())
        return false;
    const std::string_view tail = name.substr(name.size() - kWave.size());
    return std::equal(tail.begin(), tail.end(), kWave.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool isUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

std::optional<std::string> soundFileName(std::string_view gamePath, std::string_view programFolder,
                                         std::string_view waveExtension) {
    const std::optional<std::string_view> inFolder = pathInGameSoundFolder(gamePath, programFolder);
    if (!inFolder)
        return std::nullopt;
    std::string name(*inFolder);
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.back() == '/' || name.front() == '/' ||
        ("/" + name + "/").find("/../") != std::string::npos)
        return std::nullopt;
    if (endsWithWave(name))
        name.replace(name.size() - kWave.size(), kWave.size(), waveExtension);
    return name;
}

std::string soundFileUrl(std::string_view folderUrl, std::string_view fileName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url(folderUrl);
    url += '/';
    for (const char c : fileName) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte) || c == '/') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

}  // namespace velozor
