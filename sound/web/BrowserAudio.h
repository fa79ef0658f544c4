// The browser's audio as the web back end sees it: sound files fetched and decoded by the page,
// one one-shot voice, any number of channel and music voices, and a pause that leaves the page
// responsive. The real one is the page's Web Audio engine (PageAudio); tests put in their own.
#pragma once

#include <string>

#include "sound/MciInterpreter.h"

namespace velozor {

// Where a file of the sound folder stands, as far as the page knows now.
enum class SoundFileState {
    Loading,  // asked for and not yet fetched and decoded (or the sound has not started yet)
    Ready,    // decoded: it plays at once
    Missing,  // the server has no such file (or it could not be fetched)
    Damaged,  // fetched, but the browser cannot decode it
};

class BrowserAudio {
public:
    virtual ~BrowserAudio() = default;

    // The state of the file at `url` (relative to the page); a URL never asked for before starts
    // loading now.
    virtual SoundFileState fileState(const std::string& url) = 0;

    // Plays `url` on the one-shot voice from its start, cutting off what it played. An empty
    // `url`, or a file that turns out missing or damaged, plays the default tone instead (250 ms,
    // 880 Hz); a file still loading starts once it is decoded, unless another one-shot came
    // first. Returns the sound's number for oneShotSounding.
    virtual int playOneShot(const std::string& url) = 0;
    // Silences the one-shot voice.
    virtual void stopOneShot() = 0;
    // Whether one-shot `id` is still waiting for its file or playing.
    virtual bool oneShotSounding(int id) = 0;

    // A voice of `type` (a channel, or the music) for `url`, silent until played. Returns its
    // number.
    virtual int openVoice(MciDeviceType type, const std::string& url) = 0;
    // Plays voice `id` once from its start (once its file is decoded, if it is still loading).
    virtual void playVoice(int id) = 0;
    // Silences voice `id` and lets it go.
    virtual void closeVoice(int id) = 0;

    // How far the audio output has rendered, in seconds: it stands still while the output does.
    virtual double renderedSeconds() = 0;

    // Waits at most `milliseconds` while the page goes on (keys, downloads, sound), or less when
    // anything the game may wait for changes: a key, a file loaded, a one-shot ended.
    virtual void pause(int milliseconds) = 0;
};

}  // namespace velozor
