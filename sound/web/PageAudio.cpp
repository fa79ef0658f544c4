// The calls from the game's WebAssembly into the page's audio engine.
#include "sound/web/PageAudio.h"

#include <emscripten.h>

// The bodies are JavaScript, kept out of clang-format's hands.
// clang-format off
// Each call goes to Module.velozorAudio, the VelozorAudio object the page hands the module.
EM_JS(int, velozor_audio_file_state, (const char* url),
      { return Module.velozorAudio.fileState(UTF8ToString(url)); });
EM_JS(int, velozor_audio_play_one_shot, (const char* url),
      { return Module.velozorAudio.playOneShot(UTF8ToString(url)); });
EM_JS(void, velozor_audio_stop_one_shot, (), { Module.velozorAudio.stopOneShot(); });
EM_JS(int, velozor_audio_one_shot_sounding, (int id),
      { return Module.velozorAudio.oneShotSounding(id) ? 1 : 0; });
EM_JS(int, velozor_audio_open_voice, (int music, const char* url),
      { return Module.velozorAudio.openVoice(UTF8ToString(url), music != 0); });
EM_JS(void, velozor_audio_play_voice, (int id), { Module.velozorAudio.playVoice(id); });
EM_JS(void, velozor_audio_close_voice, (int id), { Module.velozorAudio.closeVoice(id); });
EM_JS(double, velozor_audio_rendered_seconds, (),
      { return Module.velozorAudio.renderedSeconds(); });

// Listed in ASYNCIFY_IMPORTS (ui/web/CMakeLists.txt): the one call that unwinds the game's stack.
// velozorWake resumes it at once, inside the page's handler that called it, so a key's sound
// starts within that key's event.
EM_JS(void, velozor_pause_page, (int milliseconds), {
    Asyncify.handleSleep(function(wakeUp) {
        var timer = 0;
        var resume = function() {
            if (Module.velozorWake !== resume)
                return;
            Module.velozorWake = null;
            clearTimeout(timer);
            wakeUp();
        };
        Module.velozorWake = resume;
        if (milliseconds >= 0)
            timer = setTimeout(resume, milliseconds);
    });
});
// clang-format on

namespace velozor {

SoundFileState PageAudio::fileState(const std::string& url) {
    return static_cast<SoundFileState>(velozor_audio_file_state(url.c_str()));
}

int PageAudio::playOneShot(const std::string& url) {
    return velozor_audio_play_one_shot(url.c_str());
}

void PageAudio::stopOneShot() {
    velozor_audio_stop_one_shot();
}

bool PageAudio::oneShotSounding(int id) {
    return velozor_audio_one_shot_sounding(id) != 0;
}

int PageAudio::openVoice(MciDeviceType type, const std::string& url) {
    return velozor_audio_open_voice(type == MciDeviceType::Music ? 1 : 0, url.c_str());
}

void PageAudio::playVoice(int id) {
    velozor_audio_play_voice(id);
}

void PageAudio::closeVoice(int id) {
    velozor_audio_close_voice(id);
}

double PageAudio::renderedSeconds() {
    return velozor_audio_rendered_seconds();
}

void PageAudio::pause(int milliseconds) {
    pausePage(milliseconds);
}

void pausePage(int milliseconds) {
    velozor_pause_page(milliseconds);
}

}  // namespace velozor
