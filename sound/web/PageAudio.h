// The real BrowserAudio: the page's Web Audio engine (audio-engine.js), reached from the game's
// WebAssembly through the module's `velozorAudio`, and the page's pause.
#pragma once

#include "sound/web/BrowserAudio.h"

namespace velozor {

class PageAudio final : public BrowserAudio {
public:
    SoundFileState fileState(const std::string& url) override;
    int playOneShot(const std::string& url) override;
    void stopOneShot() override;
    bool oneShotSounding(int id) override;
    int openVoice(MciDeviceType type, const std::string& url) override;
    void playVoice(int id) override;
    void closeVoice(int id) override;
    double renderedSeconds() override;
    void pause(int milliseconds) override;
};

// Hands the page back its event loop for at most `milliseconds` (-1: until woken), through
// ASYNCIFY: the game's stack is put aside and taken up again when the page calls the module's
// velozorWake() (a key, a sound's end, a file loaded) or the time is up. Only a call that the
// page made asynchronously (ccall's {async: true}) may reach it.
void pausePage(int milliseconds);

}  // namespace velozor
