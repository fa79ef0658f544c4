// A sound platform that makes no sound: it records every call with its arguments and result,
// in order, and answers as the real back end would (which files exist, which channels are
// open, how long a synchronous sound blocks). The tests and the simulator run on it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sound/SoundPlatform.h"
#include "sound/recording/VirtualClock.h"

namespace velozor {

struct PlatformCall {
    Micros time{0};        // when the call began
    std::string function;  // "sndPlaySoundA", "mciSendStringA", "mciExecute", "GetShortPathNameA"
    std::string argument;  // the path or the command; "NULL" for the one-shot stop
    uint32_t flags = 0;    // sndPlaySoundA only
    int64_t result = 0;
    std::string shortPath;  // GetShortPathNameA only: what it wrote, empty on failure

    // The call's fields joined by tabs, without the time: "mciSendStringA\tPLAY motor\t0",
    // "sndPlaySoundA\tPATH\t1\t1", "GetShortPathNameA\tPATH\tR\tSHORT".
    std::string fields() const;
};

// What the recorded world holds: which files exist and how long each plays. Files are named
// as they follow the program folder in the game's own paths ("\sonidos\motor.wav").
struct RecordedFiles {
    std::string programFolder = "/opt/velozor";
    Micros defaultDuration = std::chrono::milliseconds(1000);
    std::map<std::string, Micros> durations;  // by name, overriding defaultDuration
    std::set<std::string> missing;            // by name; every other file exists
};

class RecordingPlatform final : public SoundPlatform {
public:
    // The playing time of the default sound that replaces a missing one-shot file.
    static constexpr Micros kDefaultSoundDuration = std::chrono::milliseconds(250);

    // `clock` stamps each call, and moves on by a synchronous sound's playing time.
    RecordingPlatform(VirtualClock& clock, RecordedFiles files);

    int32_t sndPlaySoundA(const char* soundName, uint32_t flags) override;
    uint32_t mciSendStringA(const char* command, char* returnString, uint32_t returnLength,
                            uintptr_t callbackWindow) override;
    int32_t mciExecute(const char* command) override;
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override;

    const std::vector<PlatformCall>& calls() const { return calls_; }
    // The calls' fields() in order, for tests that compare whole sequences.
    std::vector<std::string> callFields() const;
    void clearCalls() { calls_.clear(); }
    // Called with each call as it completes (the simulator prints it at once).
    void setListener(std::function<void(const PlatformCall&)> listener) {
        listener_ = std::move(listener);
    }

    // The recorded world; a test may change it between calls (make a file go missing, say).
    RecordedFiles& files() { return files_; }

    // What is audible at the clock's current time: the one-shot, channels and music that were
    // started and have neither ended nor been closed. Empty means silence.
    std::vector<std::string> audible() const;
    // The names of the devices (aliases, and music paths) that are open now.
    std::vector<std::string> openDevices() const;

private:
    struct Device {
        std::string path;
        std::optional<Micros> startedAt;  // set by PLAY
    };

    bool exists(const std::string& path) const;
    Micros duration(const std::string& path) const;
    std::string nameOf(const std::string& path) const;
    uint32_t run(const std::string& command);
    void record(PlatformCall call);

    VirtualClock& clock_;
    RecordedFiles files_;
    std::vector<PlatformCall> calls_;
    std::function<void(const PlatformCall&)> listener_;
    std::map<std::string, Device> devices_;  // by alias, or by path for the music
    std::optional<std::string> oneShot_;     // what the one-shot plays (a path or "default")
    Micros oneShotEnds_{0};
};

}  // namespace velozor
