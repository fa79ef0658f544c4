// The web sound back end.
#include "sound/web/WebPlatform.h"

#include <cstring>

#include "base/ErrorLine.h"
#include "sound/MciCommand.h"

namespace velozor {

namespace {

// How long a synchronous sound's wait sleeps between looks, in milliseconds; the page wakes it
// sooner whenever the sound ends or a file arrives.
constexpr int kLookEveryMillis = 250;
// An output that renders nothing for this long has stopped for good: the wait gives up.
constexpr Micros kStalledOutput = std::chrono::seconds(3);

class WebVoice final : public MciDevice {
public:
    WebVoice(BrowserAudio& audio, int id) : audio_(audio), id_(id) {}
    ~WebVoice() override { audio_.closeVoice(id_); }

    uint32_t play(std::string& /*detail*/) override {
        audio_.playVoice(id_);
        return 0;
    }

private:
    BrowserAudio& audio_;
    int id_;
};

}  // namespace

std::optional<std::string> WebDevices::urlOf(std::string_view target) const {
    if (const auto name = soundFileName(target, programFolder_, folder_.waveExtension))
        return soundFileUrl(folder_.url, *name);
    const std::string prefix = folder_.url + "/";
    if (target.size() > prefix.size() && target.substr(0, prefix.size()) == prefix)
        return std::string(target);
    return std::nullopt;
}

std::unique_ptr<MciDevice> WebDevices::openDevice(MciDeviceType type, std::string_view gamePath,
                                                  uint32_t& error, std::string& detail) {
    const std::optional<std::string> url = urlOf(gamePath);
    if (!url) {
        error = MCIERR_FILE_NOT_FOUND;
        detail = inLanguage(language_, "no está en la carpeta de sonidos {}",
                            "not in the sound folder {}", {folder_.url});
        return nullptr;
    }
    switch (audio_.fileState(*url)) {
        case SoundFileState::Missing:
            error = MCIERR_FILE_NOT_FOUND;
            detail =
                inLanguage(language_, "el servidor no tiene {}", "the server has no {}", {*url});
            return nullptr;
        case SoundFileState::Damaged:
            error = MCIERR_CANNOT_LOAD_DRIVER;
            detail = inLanguage(language_, "el navegador no puede descodificar {}",
                                "the browser cannot decode {}", {*url});
            return nullptr;
        case SoundFileState::Loading:
        case SoundFileState::Ready:
            break;
    }
    return std::make_unique<WebVoice>(audio_, audio_.openVoice(type, *url));
}

WebPlatform::WebPlatform(BrowserAudio& audio, const Clock& clock, std::string programFolder,
                         WebSoundFolder folder, Language language,
                         std::function<void(const std::string& message)> showError)
    : audio_(audio),
      clock_(clock),
      warnings_(language),
      showError_(std::move(showError)),
      devices_(audio, std::move(programFolder), std::move(folder), language),
      interpreter_(devices_, language),
      musicBoxes_(language) {}

WebPlatform::~WebPlatform() {
    audio_.stopOneShot();
    interpreter_.closeAll();
}

int32_t WebPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    if (soundName == nullptr) {
        audio_.stopOneShot();
        return 1;
    }
    const std::optional<std::string> url = devices_.urlOf(soundName);
    SoundFileState state = url ? audio_.fileState(*url) : SoundFileState::Missing;
    // A synchronous sound knows whether its file is there before it answers.
    while (flags == SND_SYNC && state == SoundFileState::Loading) {
        audio_.pause(kLookEveryMillis);
        state = audio_.fileState(*url);
    }
    const bool playable = state == SoundFileState::Ready || state == SoundFileState::Loading;
    if (const std::string file = url ? *url : soundName; state == SoundFileState::Damaged) {
        warnings_.warnOnce(file,
                           "el archivo de sonido {} no se puede descodificar; suena el tono por "
                           "defecto",
                           "sound file {} cannot be decoded; the default tone plays instead",
                           {file});
    } else if (!playable) {
        warnings_.warnOnce(file,
                           "no se encuentra el archivo de sonido {}; suena el tono por defecto",
                           "sound file {} not found; the default tone plays instead", {file});
    }
    const int id = audio_.playOneShot(playable ? *url : std::string());
    if (flags == SND_SYNC)
        waitWhileSounding(id);
    return playable ? 1 : 0;
}

void WebPlatform::waitWhileSounding(int oneShot) {
    double rendered = audio_.renderedSeconds();
    Micros renderedAt = clock_.now();
    while (audio_.oneShotSounding(oneShot)) {
        audio_.pause(kLookEveryMillis);
        const double now = audio_.renderedSeconds();
        if (now != rendered) {
            rendered = now;
            renderedAt = clock_.now();
        } else if (clock_.now() - renderedAt >= kStalledOutput) {
            warnings_.warnOnce("stalled output",
                               "la salida de sonido del navegador se ha detenido; el juego sigue "
                               "sin esperar a sus sonidos",
                               "the browser's audio output has stopped; the game goes on without "
                               "waiting for its sounds");
            return;
        }
    }
}

uint32_t WebPlatform::mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                                     uintptr_t /*callbackWindow*/) {
    if (returnString != nullptr && returnLength > 0)
        returnString[0] = '\0';
    return interpreter_.run(command);
}

int32_t WebPlatform::mciExecute(const char* command) {
    const std::optional<MciCommand> parsed =
        command != nullptr ? parseMciCommand(command) : std::nullopt;
    std::string detail;
    const uint32_t error =
        command != nullptr ? interpreter_.run(parsed, &detail) : uint32_t{MCIERR_MISSING_PARAMETER};
    const std::optional<std::string> box = musicBoxes_.afterCommand(command, parsed, error);
    if (!box)
        return 1;
    const Language language = warnings_.language();
    writeErrorLine(failedCommandLine(command, mciErrorText(error, language), detail, language));
    showError_(*box);
    return 0;
}

uint32_t WebPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                        uint32_t bufferLength) {
    if (longPath == nullptr)
        return 0;
    // The player knows a file by its place in the folder beside the page: its URL, or the path
    // the game asked for when it has none.
    const std::optional<std::string> url = devices_.urlOf(longPath);
    const bool found = url && audio_.fileState(*url) != SoundFileState::Missing;
    const bool fits = found && url->size() + 1 <= bufferLength;
    musicBoxes_.shortPathAsked(url.value_or(longPath), fits ? *url : std::string());
    if (!found)
        return 0;
    if (!fits)
        return static_cast<uint32_t>(url->size() + 1);
    std::memcpy(shortPath, url->c_str(), url->size() + 1);
    return static_cast<uint32_t>(url->size());
}

}  // namespace velozor
