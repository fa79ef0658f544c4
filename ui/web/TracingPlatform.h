// A sound platform that hands each call of the one it wraps, with its arguments and result, to
// a listener: the page's ?trace=1 writes them as the simulator's trace lines.
#pragma once

#include <functional>

#include "base/Clock.h"
#include "sound/SoundPlatform.h"
#include "sound/recording/RecordingPlatform.h"

namespace velozor {

class TracingPlatform final : public SoundPlatform {
public:
    // `inner` and `clock` (which stamps each call as it begins) must outlive this platform.
    TracingPlatform(SoundPlatform& inner, const Clock& clock,
                    std::function<void(const PlatformCall&)> listener)
        : inner_(inner), clock_(clock), listener_(std::move(listener)) {}

    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    int32_t mciExecute(const char* command) override;
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

private:
    SoundPlatform& inner_;
    const Clock& clock_;
    std::function<void(const PlatformCall&)> listener_;
};

}  // namespace velozor
