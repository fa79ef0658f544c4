// The Windows back end: the game's four sound calls go to the system's multimedia library
// ("winmm.dll") and to "kernel32", bound at run time by name. Text goes through the
// wide-character entry points, converted from the game's UTF-8, so every folder name works.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sound/SoundPlatform.h"

namespace velozor {

class WinmmPlatform final : public SoundPlatform {
public:
    // Loads winmm.dll and finds its calls, and checks that a wave output device exists.
    // Returns nullptr and sets `error` to a one-line message for the player otherwise.
    static std::unique_ptr<WinmmPlatform> open(std::string& error);
    ~WinmmPlatform() override;
    WinmmPlatform(const WinmmPlatform&) = delete;
    WinmmPlatform& operator=(const WinmmPlatform&) = delete;

    // sndPlaySoundW; the flags are the system's own (SND_SYNC 0, SND_ASYNC 1).
    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    // mciSendStringW. An OPEN whose path still holds a space (a volume without short names)
    // is sent with the path in quotes, and so are PLAY and CLOSE of a device named by such a
    // path (one with a backslash); otherwise the command goes as the game wrote it. Reply text, if
    // asked for, comes back as UTF-8, cut to `returnLength` bytes with its NUL.
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    // What mciExecute does, in wide text: mciSendStringW, and on failure the system's error
    // text (mciGetErrorStringW) in a message box that returns when the player closes it. The
    // same text, with the command, goes to standard error for a tester.
    int32_t mciExecute(const char* command) override;
    // GetShortPathNameW, with no length limit beyond `bufferLength`: the short path in UTF-8.
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

private:
    struct Entries;
    explicit WinmmPlatform(std::unique_ptr<Entries> entries);

    std::unique_ptr<Entries> entries_;
};

// The command as it goes to the system: the same text, or, when an OPEN path or a PLAY or
// CLOSE device path holds a space and no quotes, the same command with that path in quotes.
std::string quotedMciCommand(const std::string& command);

}  // namespace velozor
