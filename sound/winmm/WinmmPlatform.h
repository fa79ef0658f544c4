// The Windows back end: the game's four sound calls go to the system's multimedia library
// ("winmm.dll") and to "kernel32", bound at run time by name. Text goes through the
// wide-character entry points, converted from the game's UTF-8, so every folder name works.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/Language.h"
#include "sound/MciCommand.h"
#include "sound/MusicErrorBoxes.h"
#include "sound/SoundPlatform.h"
#include "sound/WarningLog.h"

namespace velozor {

class WinmmPlatform final : public SoundPlatform {
public:
    // Shows mciExecute's message to the player and returns when it has been closed.
    using ErrorBox = std::function<void(const std::string& message)>;

    // Loads winmm.dll and finds its calls, and checks that a wave output device exists.
    // Returns nullptr and sets `error` to a one-line message for the player otherwise.
    // `showError` shows mciExecute's failures; when empty, a message box owned by the active
    // window does. The messages are in `language`, the player's.
    static std::unique_ptr<WinmmPlatform> open(std::string& error, Language language,
                                               ErrorBox showError = {});
    ~WinmmPlatform() override;
    WinmmPlatform(const WinmmPlatform&) = delete;
    WinmmPlatform& operator=(const WinmmPlatform&) = delete;

    // sndPlaySoundW; the flags are the system's own (SND_SYNC 0, SND_ASYNC 1). A file that is
    // there but holds no sound (or none a wave decoder reads) is treated as a missing one: the
    // system's default sound plays instead and the result is 0; its path goes to standard error
    // the first time.
    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    // mciSendStringW. An OPEN whose path still holds a space (a volume without short names)
    // is sent with the path in quotes, and so are PLAY and CLOSE of a device named by such a
    // path (one with a backslash); otherwise the command goes as the game wrote it. Reply text, if
    // asked for, comes back as UTF-8, cut to `returnLength` bytes with its NUL. An OPEN of a
    // file that is there but holds no sound fails with MCIERR_CANNOT_LOAD_DRIVER instead of
    // opening a silent device (its path goes to standard error the first time).
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    // What mciExecute does, in wide text: mciSendStringW, and on failure a message box that
    // returns when the player closes it. The box is the game's own, in the player's language: for
    // the music's OPEN and the PLAY after it, the music file by its long name and what to do; the
    // system's error text (mciGetErrorStringW) and the command go to standard error, in a line
    // worded in that language too.
    int32_t mciExecute(const char* command) override;
    // GetShortPathNameW, with no length limit beyond `bufferLength`: the short path in UTF-8.
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

    // Stops the one-shot and closes every MCI device ("close all"). Unlike the calls above it
    // may be made from any thread, while the game's own thread waits in a synchronous sound.
    void silence();

private:
    struct Entries;
    WinmmPlatform(std::unique_ptr<Entries> entries, Language language, ErrorBox showError);

    // Whether the file a one-shot or an OPEN names is there but holds no sound; says so on
    // standard error the first time for each path.
    bool holdsNoSound(const std::string& path);
    // mciSendStringA of a non-null `command`, parsed once as `parsed`.
    uint32_t send(const char* command, const std::optional<MciCommand>& parsed, char* returnString,
                  uint32_t returnLength, uintptr_t callbackWindow);
    // GetShortPathNameW of `longPath` in UTF-8, or empty when it fails.
    std::string systemShortPath(const char* longPath) const;

    std::unique_ptr<Entries> entries_;
    ErrorBox showError_;
    WarningLog warnings_;
    MusicErrorBoxes musicBoxes_;
};

// `command` (parsed once as `parsed`) as it goes to the system: the same text, or, when an OPEN
// path or a PLAY or CLOSE device path holds a space and no quotes, the same command with that
// path in quotes.
std::string quotedMciCommand(const std::string& command, const std::optional<MciCommand>& parsed);

}  // namespace velozor
