// The sound services on top of the four platform calls.
#include "sound/SoundServices.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/Assert.h"

namespace velozor {

namespace {

// Room for any path this platform can name (PATH_MAX); a longer short path is asked for
// again with the length the platform says it needs, so a deep program folder never silences
// the game.
constexpr uint32_t kShortPathBuffer = 4096;

// The channels that stopAllSound closes, in the order it closes them.
constexpr std::string_view kChannelsClosedByStopAll[] = {
    "motor", "vidas", "finpuntos", "esquivar", "obstáculo", "obst", "auto",
};

// Every channel the game opens is one stopAllSound closes, so the end of a game silences it.
bool isKnownAlias(std::string_view alias) {
    return alias == "finestereo" ||
           std::find(std::begin(kChannelsClosedByStopAll), std::end(kChannelsClosedByStopAll),
                     alias) != std::end(kChannelsClosedByStopAll);
}

void checkAlias(std::string_view alias) {
    VELOZOR_ASSERT(isKnownAlias(alias),
                   "the sound services know no channel by this alias (a misspelt name?); a new "
                   "channel goes into kChannelsClosedByStopAll in SoundServices.cpp, so that "
                   "stopAllSound closes it");
}

}  // namespace

SoundServices::SoundServices(SoundPlatform& platform, SoundResults results,
                             std::string programFolder)
    : platform_(platform), results_(results), programFolder_(std::move(programFolder)) {}

std::string SoundServices::soundRoot() const {
    return programFolder_ + "\\sonidos";
}

void SoundServices::acortarRuta(std::string path) {
    // Room for the path twice over: a resolved name may spell its accents with more bytes.
    std::vector<char> buffer(std::max<size_t>(kShortPathBuffer, 2 * path.size() + 1), '\0');
    uint32_t result = platform_.GetShortPathNameA(path.c_str(), buffer.data(),
                                                  static_cast<uint32_t>(buffer.size()));
    if (result > buffer.size()) {
        buffer.assign(result, '\0');
        result = platform_.GetShortPathNameA(path.c_str(), buffer.data(),
                                             static_cast<uint32_t>(buffer.size()));
    }
    results_.resMci = static_cast<int32_t>(result);
    // Whatever the call left, with every NUL taken out: empty when it wrote nothing.
    buffer.erase(std::remove(buffer.begin(), buffer.end(), '\0'), buffer.end());
    results_.rutaCorta.assign(buffer.begin(), buffer.end());
}

void SoundServices::sendCommand(const std::string& command, ChannelResult result) {
    char noReply[] = "0";
    const uint32_t code = platform_.mciSendStringA(command.c_str(), noReply, 0, 0);
    if (result == ChannelResult::Keep)
        results_.resMci = static_cast<int32_t>(code);
}

void SoundServices::openAndPlay(std::string_view alias, ChannelResult result) {
    sendCommand("OPEN " + results_.rutaCorta + " TYPE waveaudio ALIAS " + std::string(alias),
                result);
    sendCommand("PLAY " + std::string(alias), result);
}

void SoundServices::cycleChannel(std::string_view alias, const std::string& path,
                                 ChannelResult result) {
    checkAlias(alias);
    sendCommand("CLOSE " + std::string(alias), result);
    acortarRuta(path);
    openAndPlay(alias, result);
}

void SoundServices::cycleChannelWithoutClose(std::string_view alias, const std::string& path) {
    checkAlias(alias);
    acortarRuta(path);
    openAndPlay(alias, ChannelResult::Keep);
}

void SoundServices::closeChannel(std::string_view alias) {
    checkAlias(alias);
    sendCommand("CLOSE " + std::string(alias), ChannelResult::Keep);
}

void SoundServices::playOneShot(const std::string& path, OneShotMode mode) {
    results_.resSonido = platform_.sndPlaySoundA(path.c_str(), static_cast<uint32_t>(mode));
}

void SoundServices::stopOneShot() {
    results_.resSonido = platform_.sndPlaySoundA(nullptr, SND_SYNC);
}

void SoundServices::startMusic() {
    const std::string music = programFolder_ + "\\sonidos\\fondo.mp3";
    acortarRuta(music);
    results_.resMci = platform_.mciExecute(("OPEN " + results_.rutaCorta).c_str());
    results_.resMci = platform_.mciExecute(("PLAY " + results_.rutaCorta).c_str());
}

void SoundServices::stopAllSound(StopAllVariant variant) {
    stopOneShot();
    for (std::string_view alias : kChannelsClosedByStopAll)
        closeChannel(alias);
    if (variant == StopAllVariant::Unload)
        closeChannel("finestereo");
    results_.resMci = platform_.mciExecute("Close all");
}

}  // namespace velozor
