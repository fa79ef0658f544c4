// The game's sound back end in a browser: the four sound calls on the page's Web Audio engine.
// Commands go through the same interpreter as on the desktop; game paths become URLs of the
// page's sound folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "base/Language.h"
#include "sound/MciInterpreter.h"
#include "sound/MusicErrorBoxes.h"
#include "sound/SoundPlatform.h"
#include "sound/WarningLog.h"
#include "sound/web/BrowserAudio.h"
#include "sound/web/SoundUrl.h"

namespace velozor {

// The interpreter's devices as voices of the page's audio engine.
class WebDevices final : public MciDeviceOpener {
public:
    // `audio` must outlive every device opened here. A target that is not a game path is taken
    // as a URL of the sound folder, as GetShortPathNameA hands them out. Failures' reasons are
    // in `language`.
    WebDevices(BrowserAudio& audio, std::string programFolder, WebSoundFolder folder,
               Language language)
        : audio_(audio),
          programFolder_(std::move(programFolder)),
          folder_(std::move(folder)),
          language_(language) {}

    // A missing file fails with MCIERR_FILE_NOT_FOUND and one the browser cannot decode with
    // MCIERR_CANNOT_LOAD_DRIVER; a file still loading opens, and plays once it has loaded.
    std::unique_ptr<MciDevice> openDevice(MciDeviceType type, std::string_view gamePath,
                                          uint32_t& error, std::string& detail) override;

    // The URL of a game path or of a URL handed back; nullopt outside the sound folder.
    std::optional<std::string> urlOf(std::string_view target) const;

private:
    BrowserAudio& audio_;
    std::string programFolder_;
    WebSoundFolder folder_;
    Language language_;
};

class WebPlatform final : public SoundPlatform {
public:
    // `programFolder` is what the game's paths start with; `showError` shows mciExecute's
    // failures to the player (the page's live region), in `language`, and returns at once.
    // `audio` and `clock` (which times a stalled output) must outlive the platform.
    WebPlatform(BrowserAudio& audio, const Clock& clock, std::string programFolder,
                WebSoundFolder folder, Language language,
                std::function<void(const std::string& message)> showError);
    ~WebPlatform() override;

    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    // A synchronous sound returns once it has been heard, the page going on meanwhile; a file
    // still loading is waited for first. An output that renders nothing for 3 s ends the wait,
    // with one warning.
    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    // A failure is shown through `showError` and the game goes on at once.
    int32_t mciExecute(const char* command) override;
    // The short path is the file's URL in the sound folder ("sonidos/intro/arch%201.flac"),
    // which holds no blank; 0 for a path outside the folder or a file the server does not have.
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

private:
    void waitWhileSounding(int oneShot);

    BrowserAudio& audio_;
    const Clock& clock_;
    WarningLog warnings_;  // in the player's language, as the messages are
    std::function<void(const std::string&)> showError_;
    WebDevices devices_;
    MciInterpreter interpreter_;
    MusicErrorBoxes musicBoxes_;
};

}  // namespace velozor
