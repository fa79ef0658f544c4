// The SDL2_mixer sound back end.
#include "sound/mixer/MixerPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "sound/mixer/DefaultTone.h"
#include "sound/mixer/PathResolver.h"

namespace velozor {

namespace {

// The one-shot sound's mixer channel; devices take channels from 1 upwards.
constexpr int kOneShotChannel = 0;
// Channels allocated at start: the one-shot and eight devices (the game opens seven at most).
constexpr int kInitialChannels = 9;
constexpr int kSmallBuffer = 256;
constexpr int kSafeBuffer = 512;

std::atomic<bool> anInstanceIsOpen{false};

std::string lowerCased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && lowerCased(text.substr(text.size() - tail.size())) == tail;
}

int64_t steadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The buffer size asked for in VELOZOR_AUDIO_BUFFER_FRAMES, or 0 if none (or not usable).
int bufferFramesFromEnvironment() {
    const char* value = std::getenv("VELOZOR_AUDIO_BUFFER_FRAMES");
    if (value == nullptr || *value == '\0')
        return 0;
    const int frames = std::atoi(value);
    if (frames >= 64 && frames <= 8192 && (frames & (frames - 1)) == 0)
        return frames;
    std::cerr << "velozor: ignoring VELOZOR_AUDIO_BUFFER_FRAMES=" << value
              << " (use a power of two from 64 to 8192, such as 256 or 512)\n";
    return 0;
}

void showInMessageBox(const std::string& message) {
    // Fails (and returns at once) where there is no display; stderr has the text already.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Velozor", message.c_str(), nullptr);
}

}  // namespace

std::unique_ptr<MixerPlatform> MixerPlatform::open(MixerOptions options, std::string& error) {
    if (anInstanceIsOpen.exchange(true)) {
        error = "the sound back end is already open; close it before opening it again";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("cannot start SDL's audio (") + SDL_GetError() +
                "); check that a sound system is installed and running, then start Velozor again";
        anInstanceIsOpen = false;
        return nullptr;
    }
    // From here on the destructor undoes whatever was done.
    std::unique_ptr<MixerPlatform> platform(new MixerPlatform(std::move(options)));
    if (!platform->start(error))
        return nullptr;
    return platform;
}

MixerPlatform::MixerPlatform(MixerOptions options) : options_(std::move(options)) {
    if (!options_.showError)
        options_.showError = showInMessageBox;
}

bool MixerPlatform::openDevice(int frames, std::string& error) {
    // The counting callback is in place before the device starts, so framesMixed() counts
    // every frame the device is given, from the first.
    framesMixed_ = 0;
    callbacks_ = 0;
    worstGapNanos_ = 0;
    Mix_SetPostMix(afterMix, this);
    // No allowed changes: SDL converts to the hardware's format, so the mixer's own format,
    // and with it the default tone and the disk driver's output, is always the same.
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, frames, nullptr, 0) != 0) {
        error = std::string("cannot open the audio device (") + Mix_GetError() +
                "); connect or enable a sound output and start Velozor again";
        Mix_SetPostMix(nullptr, nullptr);
        return false;
    }
    bufferFrames_ = frames;
    deviceOpen_ = true;
    return true;
}

void MixerPlatform::closeDevice() {
    if (!deviceOpen_)
        return;
    Mix_CloseAudio();  // returns once the audio thread has stopped
    Mix_SetPostMix(nullptr, nullptr);
    deviceOpen_ = false;
}

bool MixerPlatform::deviceKeepsUp() const {
    const int64_t period = int64_t{bufferFrames_} * 1'000'000'000 / kFrequency;
    const int wanted = static_cast<int>(150'000'000 / period) + 2;
    const int64_t deadline = steadyNanos() + 1'000'000'000;
    while (callbacks_.load() < wanted && steadyNanos() < deadline)
        SDL_Delay(5);
    return callbacks_.load() >= wanted && worstGapNanos_.load() <= 2 * period;
}

bool MixerPlatform::start(std::string& error) {
    const int asked =
        options_.bufferFrames > 0 ? options_.bufferFrames : bufferFramesFromEnvironment();
    if (asked > 0) {
        if (!openDevice(asked, error))
            return false;
    } else {
        if (!openDevice(kSmallBuffer, error))
            return false;
        if (!deviceKeepsUp()) {
            closeDevice();
            if (!openDevice(kSafeBuffer, error))
                return false;
        }
    }
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        std::cerr << "velozor: MP3 decoding is unavailable (" << Mix_GetError()
                  << "); the background music will not play\n";
    }
    Mix_AllocateChannels(kInitialChannels);
    Mix_ReserveChannels(1);  // the one-shot's channel is never handed out by SDL_mixer itself
    for (int channel = kInitialChannels - 1; channel > kOneShotChannel; --channel) {
        freeChannels_.push_back(channel);
    }
    defaultToneSamples_ = makeDefaultTone(kFrequency, kChannels);
    defaultTone_ = SharedChunk(
        Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(defaultToneSamples_.data()),
                          static_cast<Uint32>(defaultToneSamples_.size() * sizeof(int16_t))),
        Mix_FreeChunk);
    return true;
}

MixerPlatform::~MixerPlatform() {
    if (deviceOpen_) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }
    devices_.clear();
    oneShot_.reset();
    defaultTone_.reset();
    cache_.clear();
    closeDevice();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    anInstanceIsOpen = false;
}

void MixerPlatform::afterMix(void* self, Uint8*, int bytes) {
    auto& platform = *static_cast<MixerPlatform*>(self);
    const auto frames = static_cast<uint64_t>(bytes) / (kChannels * sizeof(int16_t));
    platform.framesMixed_.fetch_add(frames, std::memory_order_release);
    const int64_t now = steadyNanos();
    const int64_t before = platform.lastCallbackNanos_.exchange(now);
    // The first callbacks fill the device's queue in a burst: only the gaps after them count.
    if (platform.callbacks_.fetch_add(1) >= 2 && now - before > platform.worstGapNanos_.load()) {
        platform.worstGapNanos_.store(now - before);
    }
}

void MixerPlatform::warnOnce(const std::string& path, const std::string& message) {
    if (warned_.insert(path).second)
        std::cerr << "velozor: " << message << "\n";
}

int32_t MixerPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    if (soundName == nullptr) {
        Mix_HaltChannel(kOneShotChannel);
        oneShot_.reset();
        return 1;
    }
    SharedChunk chunk;
    if (const std::optional<ResolvedFile> file = resolveGamePath(soundName)) {
        uint32_t error = 0;
        std::string detail;
        chunk = cache_.load(*file, error, detail);
        if (!chunk) {
            warnOnce(file->path, "cannot play " + file->path + " (" + detail +
                                     "); the default tone plays instead");
        }
    } else {
        warnOnce(soundName, std::string("sound file not found: ") + soundName +
                                "; the default tone plays instead");
    }
    const int32_t result = chunk ? 1 : 0;
    if (!chunk)
        chunk = defaultTone_;

    // Playing on the channel cuts off whatever it played; only then is the old chunk let go.
    if (Mix_PlayChannel(kOneShotChannel, chunk.get(), 0) < 0) {
        warnOnce("one-shot channel", std::string("the one-shot channel failed: ") + Mix_GetError());
        return 0;
    }
    oneShot_ = chunk;
    if ((flags & SND_ASYNC) == 0)
        waitForOneShot(*chunk);
    return result;
}

void MixerPlatform::waitForOneShot(const Mix_Chunk& chunk) {
    // Keeps the window answering the system while the caller is blocked; input stays queued
    // for the game to read, in order, after the sound. A device that stops consuming samples
    // would keep the channel playing forever, so the wait ends a second after the sound's own
    // length at the latest.
    const int64_t lengthNanos = static_cast<int64_t>(chunk.alen) / (kChannels * sizeof(int16_t)) *
                                1'000'000'000 / kFrequency;
    const int64_t deadline = steadyNanos() + lengthNanos + 1'000'000'000;
    while (Mix_Playing(kOneShotChannel) != 0) {
        if (steadyNanos() > deadline) {
            warnOnce("stalled device",
                     "the audio device stopped playing; a sound could not finish");
            return;
        }
        SDL_PumpEvents();
        SDL_Delay(1);
    }
}

uint32_t MixerPlatform::mciSendStringA(const char* command, char* returnString,
                                       uint32_t returnLength, uintptr_t /*callbackWindow*/) {
    if (returnString != nullptr && returnLength > 0)
        returnString[0] = '\0';
    std::string detail;
    return run(command, detail);
}

int32_t MixerPlatform::mciExecute(const char* command) {
    std::string detail;
    const uint32_t error = run(command, detail);
    if (error == 0)
        return 1;
    const std::string text = mciErrorText(error);
    std::cerr << "velozor: sound command \"" << (command ? command : "") << "\" failed: " << text
              << (detail.empty() ? "" : " (" + detail + ")") << "\n";
    options_.showError(text);
    return 0;
}

uint32_t MixerPlatform::run(const char* command, std::string& detail) {
    if (command == nullptr)
        return MCIERR_MISSING_PARAMETER;
    const std::optional<MciCommand> parsed = parseMciCommand(command);
    if (!parsed)
        return MCIERR_UNRECOGNIZED_COMMAND;
    switch (parsed->verb) {
        case MciCommand::Verb::Open:
            return openFile(*parsed, detail);
        case MciCommand::Verb::Play:
            return play(lowerCased(parsed->target), detail);
        case MciCommand::Verb::Close:
            return close(lowerCased(parsed->target));
        case MciCommand::Verb::CloseAll:
            for (auto& entry : devices_)
                release(entry.second);
            devices_.clear();
            return 0;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

uint32_t MixerPlatform::openFile(const MciCommand& command, std::string& detail) {
    if (command.target.empty())
        return MCIERR_FILE_NOT_FOUND;
    const std::string name = lowerCased(command.alias.empty() ? command.target : command.alias);
    if (name.empty())
        return MCIERR_MISSING_PARAMETER;  // "ALIAS" with no name after it
    if (devices_.count(name) != 0)
        return MCIERR_DUPLICATE_ALIAS;

    // The device type: as named, or else by the file's extension, as the game's music relies on.
    const std::string type = lowerCased(command.type);
    bool isMusic = false;
    if (type.empty()) {
        isMusic = endsWith(command.target, ".mp3");
    } else if (type == "mpegvideo") {
        isMusic = true;
    } else if (type != "waveaudio") {
        detail = "unknown device type " + command.type;
        return MCIERR_INVALID_DEVICE_NAME;
    }

    const std::optional<ResolvedFile> file = resolveGamePath(command.target);
    if (!file)
        return MCIERR_FILE_NOT_FOUND;
    Device device;
    if (isMusic) {
        device.music.reset(Mix_LoadMUS(file->path.c_str()));
        if (!device.music) {
            detail = Mix_GetError();
            warnOnce(file->path, "cannot play " + file->path + " (" + detail + ")");
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
    } else {
        uint32_t error = 0;
        device.chunk = cache_.load(*file, error, detail);
        if (!device.chunk) {
            warnOnce(file->path, "cannot play " + file->path + " (" + detail + ")");
            return error;
        }
        device.channel = takeChannel();
    }
    devices_.emplace(name, std::move(device));
    return 0;
}

uint32_t MixerPlatform::play(const std::string& name, std::string& detail) {
    const auto found = devices_.find(name);
    if (found == devices_.end())
        return MCIERR_INVALID_DEVICE_NAME;
    Device& device = found->second;
    if (device.music) {
        if (Mix_PlayMusic(device.music.get(), 0) != 0) {  // 0: once, no repeat
            detail = Mix_GetError();
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
        return 0;
    }
    if (Mix_PlayChannel(device.channel, device.chunk.get(), 0) < 0) {
        detail = Mix_GetError();
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    return 0;
}

uint32_t MixerPlatform::close(const std::string& name) {
    const auto found = devices_.find(name);
    if (found == devices_.end())
        return MCIERR_INVALID_DEVICE_NAME;
    release(found->second);
    devices_.erase(found);
    return 0;
}

void MixerPlatform::release(Device& device) {
    if (device.music) {
        device.music.reset();  // SDL_mixer halts the stream first if it is the one playing
        return;
    }
    // Halting waits for the audio thread, so the chunk is no longer mixed once it returns.
    Mix_HaltChannel(device.channel);
    freeChannels_.push_back(device.channel);
    device.channel = -1;
    device.chunk.reset();
}

int MixerPlatform::takeChannel() {
    if (freeChannels_.empty()) {
        const int count = Mix_AllocateChannels(-1);
        Mix_AllocateChannels(count * 2);
        for (int channel = count * 2 - 1; channel >= count; --channel) {
            freeChannels_.push_back(channel);
        }
    }
    const int channel = freeChannels_.back();
    freeChannels_.pop_back();
    return channel;
}

uint32_t MixerPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                          uint32_t bufferLength) {
    if (longPath == nullptr)
        return 0;
    const std::optional<ResolvedFile> file = resolveGamePath(longPath);
    if (!file) {
        warnOnce(longPath, std::string("sound file not found: ") + longPath);
        return 0;
    }
    const auto needed = static_cast<uint32_t>(file->path.size() + 1);
    if (shortPath == nullptr || needed > bufferLength)
        return needed;
    std::memcpy(shortPath, file->path.c_str(), needed);
    return needed - 1;
}

}  // namespace velozor
