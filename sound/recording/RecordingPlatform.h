// A sound platform that makes no sound: it records every call with its arguments and result,
// in order, and answers from a recorded world of files and playing times; its commands run on
// the mixer back end's interpreter (MciInterpreter), over devices that only note when PLAY
// started them. The tests and the simulator run on it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sound/MciInterpreter.h"
#include "sound/SoundPlatform.h"
#include "sound/recording/VirtualClock.h"

namespace velozor {

struct PlatformCall {
    Micros time{0};        // when the call began
    std::string function;  // "sndPlaySoundA", "mciSendStringA", "mciExecute", "GetShortPathNameA"
    std::string argument;  // the path or the command; "NULL" for none (the one-shot stop)
    uint32_t flags = 0;    // sndPlaySoundA only
    int64_t result = 0;
    std::string shortPath;  // GetShortPathNameA only: what it wrote, empty on failure

    // The argument a call records for `text`: itself, or "NULL" for none.
    static std::string argumentOf(const char* text) { return text != nullptr ? text : "NULL"; }

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

class RecordingPlatform final : public SoundPlatform, private MciDeviceOpener {
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
    // A file that exists opens as a device of either type; one that does not fails with
    // MCIERR_FILE_NOT_FOUND.
    std::unique_ptr<MciDevice> openDevice(MciDeviceType type, std::string_view gamePath,
                                          uint32_t& error, std::string& detail) override;

    bool exists(std::string_view path) const;
    Micros duration(std::string_view path) const;
    std::string nameOf(std::string_view path) const;
    void record(PlatformCall call);

    VirtualClock& clock_;
    RecordedFiles files_;
    std::vector<PlatformCall> calls_;
    std::function<void(const PlatformCall&)> listener_;
    MciInterpreter interpreter_{*this};
    std::optional<std::string> oneShot_;  // what the one-shot plays (a path or "default")
    Micros oneShotEnds_{0};
};

}  // namespace velozor
