// Opening the mixer's audio device, opening it again, and running its watch.
#include "sound/mixer/AudioDevice.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>

#include "base/ErrorLine.h"
#include "sound/mixer/AudioDrivers.h"
#include "sound/mixer/OutputPath.h"

namespace velozor {

namespace {

// How often the watch looks: often while the buffer check runs or the device is lost, else
// once a second, which is enough to notice a stall; SDL's word that the device went away wakes
// it at once. Every wake-up costs the idle program processor time.
constexpr auto kWatchStep = std::chrono::milliseconds(100);
constexpr auto kQuietWatchStep = std::chrono::seconds(1);
// Silence this long (and nothing under way) before the audio thread parks. Waking it costs
// the next sound up to one buffer (1-3 ms measured), so a player who moves through the menu at
// a steady pace, or plays, never pays it; an idle second costs little processor time.
constexpr int kQuietFramesBeforeParking = AudioDevice::kFrequency;

std::atomic<bool> aDeviceIsOpen{false};

int64_t steadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::unique_ptr<AudioDevice> AudioDevice::open(int bufferFrames, Language language,
                                               std::string& error) {
    if (aDeviceIsOpen.exchange(true)) {
        error = inLanguage(
            language, "el sonido del juego ya está abierto; ciérralo antes de abrirlo otra vez",
            "the sound back end is already open; close it before opening it again");
        return nullptr;
    }
    // The events subsystem carries SDL_AUDIODEVICEREMOVED; held here so that restarting the
    // audio subsystem after a loss never stops it (and with it the watch on removals).
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0 || !startAudioOnTheQuickestPath()) {
        error = inLanguage(language,
                           "no se puede iniciar el audio de SDL ({}); comprueba que hay un sistema "
                           "de sonido instalado y en marcha, y vuelve a empezar Velozor",
                           "cannot start SDL's audio ({}); check that a sound system is installed "
                           "and running, then start Velozor again",
                           {SDL_GetError()});
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
        aDeviceIsOpen = false;
        return nullptr;
    }
    // From here on the destructor undoes whatever was done.
    std::unique_ptr<AudioDevice> device(new AudioDevice(language));
    if (!device->start(bufferFrames, error)) {
        error = inLanguage(language,
                           "no se puede abrir el dispositivo de sonido ({}); conecta o activa una "
                           "salida de sonido y vuelve a empezar Velozor",
                           "cannot open the audio device ({}); connect or enable a sound output "
                           "and start Velozor again",
                           {error});
        return nullptr;
    }
    return device;
}

bool AudioDevice::openWith(int frames, std::string& error, bool judge) {
    // The counting callback is in place before the device starts, so framesMixed() counts
    // every frame the device is given, from the first.
    lastCallbackNanos_ = steadyNanos();
    bufferCheck_.restart(judge);
    const AudioDriver& driver = currentAudioDriver();
    askServerForLowLatency(driver, frames, latencySetHere_);
    Mix_SetPostMix(afterMix, this);
    // No allowed changes: SDL converts to the hardware's format, so the mixer's own format,
    // and with it the default tone, the decoded samples already held and the disk driver's
    // output, is always the same.
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, frames, nullptr, 0) != 0) {
        error = Mix_GetError();
        Mix_SetPostMix(nullptr, nullptr);
        return false;
    }
    bufferFrames_ = frames;
    open_ = true;
    mixerLock_.allowParking(driver.parksThroughSilence);
    return true;
}

void AudioDevice::closeMixer() {
    if (!open_)
        return;
    mixerLock_.stopParking();  // SDL waits for the audio thread to end
    Mix_CloseAudio();          // returns once the audio thread has stopped
    Mix_SetPostMix(nullptr, nullptr);
    open_ = false;
}

bool AudioDevice::start(int bufferFrames, std::string& error) {
    if (const char* driver = SDL_GetCurrentAudioDriver())
        driver_ = driver;
    const int asked = bufferFrames > 0 ? bufferFrames : bufferFramesFromEnvironment(language_);
    const AudioDriver& driver = audioDriverNamed(driver_.c_str());
    lossWatch_.listen();
    const int first = asked > 0 ? asked : driver.firstBufferFrames;
    if (!openWith(first, error, asked == 0 && driver.bufferChecked))
        return false;
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        writeErrorLine(language_, "no se puede descodificar MP3 ({}); la música de fondo no sonará",
                       "MP3 decoding is unavailable ({}); the background music will not play",
                       {Mix_GetError()});
    }
    watcher_ = std::thread(&AudioDevice::watch, this);
    return true;
}

void AudioDevice::stopWatching() {
    {
        std::lock_guard<std::mutex> lock(watchMutex_);
        stopWatch_ = true;
    }
    watchWake_.notify_all();
    if (watcher_.joinable())
        watcher_.join();
    lossWatch_.stopListening();
}

AudioDevice::~AudioDevice() {
    stopWatching();
    closeMixer();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    aDeviceIsOpen = false;
}

bool AudioDevice::reopenMixer(int frames, const std::string& driver, bool judge) {
    // Closing the mixer frees its channels; the ones handed out keep their numbers.
    const int channels = Mix_AllocateChannels(-1);
    if (open_)
        sounds_.noteWhereEachIs();
    closeMixer();
    std::string error;
    bool opened = false;
    if (driver.empty()) {
        opened = openWith(frames, error, judge);
    } else {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened = startAudioDriver(driver) && openWith(frames, error, judge);
    }
    if (!opened) {
        // SDL_mixer must not be used while closed, and the game goes on: mix into nothing on
        // the stand-in driver until a device is there again. SDL's audio is stopped only if it
        // started: each stop of an audio that did not start would take one of the events
        // subsystem's starts with it, and its last one the event watch and the window's queue.
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (!startAudioDriver(standInAudioDriver().name) || !openWith(frames, error, false)) {
            writeErrorLine(language_,
                           "no se puede mantener en marcha el mezclador ({}); el juego sigue sin "
                           "sonido",
                           "cannot keep the mixer running ({}); the game goes on without sound",
                           {error});
        }
    }
    if (open_) {
        Mix_AllocateChannels(channels);
        Mix_ReserveChannels(1);  // the one-shot's channel, as ChannelPool keeps it
        sounds_.takeUp();
    }
    return opened;
}

void AudioDevice::beforeSoundStarts() {
    if (!bufferCheck_.foundTooSlow() || Mix_Playing(-1) > 0 || Mix_PlayingMusic() != 0)
        return;
    const int slow = bufferFrames_.load();
    const BufferCheck::Growth growth = bufferCheck_.grow(slow);
    if (reopenMixer(growth.frames, "", growth.judgedInTurn)) {
        if (growth.judgedInTurn)
            watchWake_.notify_all();  // from its quiet pace to the check's
        bufferCheck_.announce(slow, growth, language_);
    } else {
        // On the stand-in driver now: the watch looks for a device again.
        lossWatch_.markLost(steadyNanos());
    }
}

void AudioDevice::watch() {
    std::unique_lock<std::mutex> lock(watchMutex_);
    while (!stopWatch_) {
        const bool busy = bufferCheck_.watching() || lossWatch_.lost();
        watchWake_.wait_for(lock, busy ? kWatchStep : kQuietWatchStep);
        if (stopWatch_)
            break;
        bufferCheck_.judge(bufferFrames_.load());
        const int64_t now = steadyNanos();
        const bool open = open_.load();  // before the callback's time, which an opening sets first
        if (lossWatch_.dueForReopening(now, open, lastCallbackNanos_.load())) {
            lock.unlock();
            reopenAfterLoss();
            lock.lock();
        }
    }
}

void AudioDevice::reopenAfterLoss() {
    // Waits for a sound call under way on the game's thread, which holds the lock for its own
    // work only (a synchronous sound lets go of it while it waits for its end).
    const std::unique_lock<std::mutex> mixer = mixerLock_.lock();
    const int64_t now = steadyNanos();
    lossWatch_.tryingAt(now);
    // The sounds hold where they are while no device plays them, and go on once one does (or
    // once the loss has lasted too long to keep the game waiting).
    if (lossWatch_.holdsSounds(now))
        sounds_.hold();
    else
        sounds_.release();
    // A check under way goes on with the new device.
    if (reopenMixer(bufferFrames_.load(), driver_, bufferCheck_.watching())) {
        sounds_.release();
        lossWatch_.reopened();
    }
}

void AudioDevice::afterMix(void* self, Uint8* stream, int bytes) {
    auto& device = *static_cast<AudioDevice*>(self);
    const auto frames = static_cast<uint64_t>(bytes) / (kChannels * sizeof(int16_t));
    const uint64_t total =
        device.framesMixed_.fetch_add(frames, std::memory_order_acq_rel) + frames;
    const int64_t now = steadyNanos();
    const int64_t before = device.lastCallbackNanos_.exchange(now);
    device.sounds_.afterBuffer(static_cast<int>(frames));
    if (device.bufferCheck_.watching()) {
        // Never parks meanwhile: the check watches the callbacks' pace.
        device.bufferCheck_.afterBuffer(total, now, before);
        return;
    }
    // Nor while the watch wants the lock to open a lost device again.
    const bool idle =
        device.mixerLock_.parkingAllowed() && !device.lossWatch_.pending() && quiet(stream, bytes);
    device.mixerLock_.afterBuffer(idle, static_cast<int>(frames), kQuietFramesBeforeParking);
}

bool AudioDevice::quiet(const Uint8* stream, int bytes) {
    // On the audio thread, inside SDL_mixer's callback: both calls are safe there.
    if (Mix_Playing(-1) > 0 || Mix_PlayingMusic() != 0)
        return false;
    return std::all_of(stream, stream + bytes, [](Uint8 byte) { return byte == 0; });
}

}  // namespace velozor
