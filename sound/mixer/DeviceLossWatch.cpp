// Noticing that the mixer's device went away, and pacing the tries to open it again.
#include "sound/mixer/DeviceLossWatch.h"

#include "base/ErrorLine.h"

namespace velozor {

void DeviceLossWatch::listen() {
    SDL_AddEventWatch(noticeRemoval, this);
}

void DeviceLossWatch::stopListening() {
    SDL_DelEventWatch(noticeRemoval, this);
}

bool DeviceLossWatch::dueForReopening(int64_t nowNanos, bool open, int64_t lastCallbackNanos) {
    if (!lost_.load()) {
        if (removed_.exchange(false)) {
            writeErrorLine(language_,
                           "el dispositivo de sonido ha desaparecido; el juego sigue y el sonido "
                           "vuelve en cuanto haya otra vez un dispositivo",
                           "the audio device went away; the game goes on and the sound comes "
                           "back as soon as a device is there again");
        } else if (open && nowNanos - lastCallbackNanos > kStallNanos) {
            writeErrorLine(language_,
                           "el dispositivo de sonido ha dejado de sonar; se abre otra vez",
                           "the audio device stopped playing; opening it again");
        } else {
            return false;
        }
        lostAtNanos_ = nowNanos;
        lost_ = true;
        lastAttemptNanos_ = 0;
    }
    return nowNanos - lastAttemptNanos_ >= kRetryNanos;
}

void DeviceLossWatch::tryingAt(int64_t nowNanos) {
    lastAttemptNanos_ = nowNanos;
    removed_ = false;
}

void DeviceLossWatch::reopened() {
    lost_ = false;
    ++reopenings_;
    writeErrorLine(language_, "el dispositivo de sonido ha vuelto", "the audio device is back");
}

int SDLCALL DeviceLossWatch::noticeRemoval(void* self, SDL_Event* event) {
    // Runs on the thread that reports the loss (SDL's audio thread): only a flag is set here.
    // A device SDL had not opened is reported with `which` 0; ours is the only open output.
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
        event->adevice.which != 0) {
        auto* watch = static_cast<DeviceLossWatch*>(self);
        watch->removed_ = true;
        watch->wake_.notify_all();
    }
    return 0;
}

}  // namespace velozor
