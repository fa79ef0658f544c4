// The SDL2_mixer sound back end.
#include "sound/mixer/MixerPlatform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "base/ErrorLine.h"
#include "sound/MciCommand.h"
#include "sound/mixer/ShortPath.h"

namespace velozor {

namespace {

// How long the end of the process waits for the mixer's lock.
constexpr auto kLongestWaitAtTheEnd = std::chrono::milliseconds(500);

void showInMessageBox(const std::string& message) {
    // Fails (and returns at once) where there is no display; stderr has the text already.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Velozor", message.c_str(), nullptr);
}

}  // namespace

std::unique_ptr<MixerPlatform> MixerPlatform::open(MixerOptions options, std::string& error) {
    std::unique_ptr<AudioDevice> device =
        AudioDevice::open(options.bufferFrames, options.language, error);
    if (!device)
        return nullptr;
    // The parts below set up the mixer's channels and default tone: no reopening meanwhile.
    const std::unique_lock<std::mutex> lock = device->lockMixer();
    return std::unique_ptr<MixerPlatform>(new MixerPlatform(std::move(device), std::move(options)));
}

MixerPlatform::MixerPlatform(std::unique_ptr<AudioDevice> device, MixerOptions options)
    : device_(std::move(device)),
      options_(std::move(options)),
      warnings_(options_.language),
      oneShot_(*device_, cache_, warnings_),
      devices_(cache_, channels_, device_->sounds(), warnings_),
      interpreter_(devices_, options_.language),
      musicBoxes_(options_.language) {
    if (!options_.showError)
        options_.showError = showInMessageBox;
}

MixerPlatform::~MixerPlatform() {
    device_->stopWatching();  // no reopening while the parts come down
    device_->stopParking();   // they use SDL_mixer without the lock
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
}

int32_t MixerPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    std::unique_lock<std::mutex> lock = device_->lockMixer();
    if (soundName != nullptr)
        device_->beforeSoundStarts();
    return oneShot_.play(soundName, flags, lock);
}

uint32_t MixerPlatform::mciSendStringA(const char* command, char* returnString,
                                       uint32_t returnLength, uintptr_t /*callbackWindow*/) {
    if (returnString != nullptr && returnLength > 0)
        returnString[0] = '\0';
    const std::unique_lock<std::mutex> lock = device_->lockMixer();
    device_->beforeSoundStarts();
    return interpreter_.run(command);
}

int32_t MixerPlatform::mciExecute(const char* command) {
    const std::optional<MciCommand> parsed =
        command != nullptr ? parseMciCommand(command) : std::nullopt;
    std::string detail;
    uint32_t error = MCIERR_MISSING_PARAMETER;
    if (command != nullptr) {
        // Not held across the message box, which waits for the player.
        const std::unique_lock<std::mutex> lock = device_->lockMixer();
        device_->beforeSoundStarts();
        error = interpreter_.run(parsed, &detail);
    }
    const std::optional<std::string> box = musicBoxes_.afterCommand(command, parsed, error);
    if (!box)
        return 1;
    writeErrorLine(failedCommandLine(command, mciErrorText(error, options_.language), detail,
                                     options_.language));
    options_.showError(*box);
    return 0;
}

void MixerPlatform::silence() {
    // The lock wakes an audio thread asleep through silence, which holds SDL's device lock that
    // the pauses take. Only a reopening stuck on a frozen sound server holds it longer than a
    // call takes; the pauses then go without it, the audio thread's sleeps ended for good.
    const std::unique_lock<std::mutex> lock = device_->lockMixerWithin(kLongestWaitAtTheEnd);
    if (!lock.owns_lock())
        device_->stopParking();
    Mix_Pause(-1);
    Mix_PauseMusic();
}

uint32_t MixerPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                          uint32_t bufferLength) {
    const uint32_t result = writeShortPath(longPath, shortPath, bufferLength, warnings_);
    if (longPath != nullptr) {
        std::string asked = longPath;
        std::replace(asked.begin(), asked.end(), '\\', '/');
        const bool written = result != 0 && result < bufferLength;
        musicBoxes_.shortPathAsked(std::move(asked), written ? shortPath : "");
    }
    return result;
}

}  // namespace velozor
