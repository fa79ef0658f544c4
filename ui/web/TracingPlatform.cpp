// The tracing sound platform.
#include "ui/web/TracingPlatform.h"

namespace velozor {

int32_t TracingPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    PlatformCall call{
        clock_.now(), "sndPlaySoundA", PlatformCall::argumentOf(soundName), flags, 0, {}};
    const int32_t result = inner_.sndPlaySoundA(soundName, flags);
    call.result = result;
    listener_(call);
    return result;
}

uint32_t TracingPlatform::mciSendStringA(const char* command, char* returnString,
                                         uint32_t returnLength, uintptr_t callbackWindow) {
    PlatformCall call{clock_.now(), "mciSendStringA", PlatformCall::argumentOf(command), 0, 0, {}};
    const uint32_t result =
        inner_.mciSendStringA(command, returnString, returnLength, callbackWindow);
    call.result = result;
    listener_(call);
    return result;
}

int32_t TracingPlatform::mciExecute(const char* command) {
    PlatformCall call{clock_.now(), "mciExecute", PlatformCall::argumentOf(command), 0, 0, {}};
    const int32_t result = inner_.mciExecute(command);
    call.result = result;
    listener_(call);
    return result;
}

uint32_t TracingPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                            uint32_t bufferLength) {
    PlatformCall call{
        clock_.now(), "GetShortPathNameA", PlatformCall::argumentOf(longPath), 0, 0, {}};
    const uint32_t result = inner_.GetShortPathNameA(longPath, shortPath, bufferLength);
    call.result = result;
    // Written only when it fitted: the length without its NUL is then below the buffer's.
    if (result != 0 && result < bufferLength)
        call.shortPath = shortPath;
    listener_(call);
    return result;
}

}  // namespace velozor
