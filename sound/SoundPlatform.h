// The four calls through which every sound of the game is made. The game speaks to them in
// its own strings (backslashed paths, capitalised command words); each back end turns those
// into sound and into file-system paths.
#pragma once

#include <cstdint>

namespace velozor {

// sndPlaySoundA flags: the game only ever passes these two values.
inline constexpr uint32_t SND_SYNC = 0;   // return when the sound has ended
inline constexpr uint32_t SND_ASYNC = 1;  // return at once; the sound plays on

// Error codes of mciSendStringA (0 is success). The texts are in MciCommand.h.
enum MciError : uint32_t {
    MCIERR_INVALID_DEVICE_NAME = 263,  // no device of that name is open
    MCIERR_UNRECOGNIZED_COMMAND = 261,
    MCIERR_FILE_NOT_FOUND = 275,
    MCIERR_CANNOT_LOAD_DRIVER = 266,  // the file exists but cannot be decoded
    MCIERR_DUPLICATE_ALIAS = 289,
    MCIERR_MISSING_PARAMETER = 273,
};

class SoundPlatform {
public:
    virtual ~SoundPlatform() = default;

    // Plays a wave file as the one-shot sound, cutting off the one before. `flags` is SND_SYNC
    // or SND_ASYNC. A null `soundName` stops the one-shot. A file that cannot be played is
    // replaced by the back end's default sound. Returns nonzero on success, 0 when the default
    // sound played instead.
    virtual int32_t sndPlaySoundA(const char* soundName, uint32_t flags) = 0;

    // Runs one channel command ("OPEN path TYPE waveaudio ALIAS a", "PLAY a", "CLOSE a").
    // No reply text is asked for (`returnLength` 0) and there is no callback window.
    // Returns 0 on success, an MciError otherwise.
    virtual uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                                    uintptr_t callbackWindow) = 0;

    // Runs one command ("OPEN path", "PLAY path", "Close all"). Returns nonzero on success; on
    // failure the back end shows the error to the user itself and returns 0 afterwards.
    virtual int32_t mciExecute(const char* command) = 0;

    // Writes into `shortPath` (room for `bufferLength` bytes, NUL included) the path under
    // which the back end will open `longPath`. Returns its length without the NUL, the length
    // needed (NUL included) when the buffer is too small, or 0 when the file does not exist,
    // writing nothing in those two cases.
    virtual uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                       uint32_t bufferLength) = 0;
};

}  // namespace velozor
