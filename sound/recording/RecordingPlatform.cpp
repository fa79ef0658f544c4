// The recording back end.
#include "sound/recording/RecordingPlatform.h"

#include <cstring>

#include "sound/MciCommand.h"

namespace velozor {

std::string PlatformCall::fields() const {
    std::string line = function + "\t" + argument;
    if (function == "sndPlaySoundA")
        line.append("\t").append(std::to_string(flags));
    line.append("\t").append(std::to_string(result));
    if (function == "GetShortPathNameA")
        line.append("\t").append(shortPath);
    return line;
}

RecordingPlatform::RecordingPlatform(VirtualClock& clock, RecordedFiles files)
    : clock_(clock), files_(std::move(files)) {}

std::string RecordingPlatform::nameOf(const std::string& path) const {
    const std::string& folder = files_.programFolder;
    if (path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0) {
        return path.substr(folder.size());
    }
    return path;
}

bool RecordingPlatform::exists(const std::string& path) const {
    return !path.empty() && files_.missing.count(nameOf(path)) == 0;
}

Micros RecordingPlatform::duration(const std::string& path) const {
    const auto found = files_.durations.find(nameOf(path));
    return found != files_.durations.end() ? found->second : files_.defaultDuration;
}

void RecordingPlatform::record(PlatformCall call) {
    calls_.push_back(std::move(call));
    if (listener_)
        listener_(calls_.back());
}

std::vector<std::string> RecordingPlatform::callFields() const {
    std::vector<std::string> fields;
    fields.reserve(calls_.size());
    for (const PlatformCall& call : calls_)
        fields.push_back(call.fields());
    return fields;
}

int32_t RecordingPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    PlatformCall call{clock_.now(), "sndPlaySoundA", soundName ? soundName : "NULL", flags, 1, {}};
    Micros playing{0};
    if (soundName == nullptr) {
        oneShot_.reset();
    } else if (exists(soundName)) {
        oneShot_ = soundName;
        playing = duration(soundName);
    } else {
        oneShot_ = "default sound";
        playing = kDefaultSoundDuration;
        call.result = 0;
    }
    oneShotEnds_ = call.time + playing;
    if (soundName != nullptr && flags == SND_SYNC)
        clock_.advanceBy(playing);
    const auto result = static_cast<int32_t>(call.result);
    record(std::move(call));
    return result;
}

uint32_t RecordingPlatform::run(const std::string& command) {
    const std::optional<MciCommand> parsed = parseMciCommand(command);
    if (!parsed)
        return MCIERR_UNRECOGNIZED_COMMAND;
    switch (parsed->verb) {
        case MciCommand::Verb::CloseAll:
            devices_.clear();
            return 0;
        case MciCommand::Verb::Close:
            return devices_.erase(parsed->target) != 0 ? 0u : uint32_t{MCIERR_INVALID_DEVICE_NAME};
        case MciCommand::Verb::Play: {
            const auto device = devices_.find(parsed->target);
            if (device == devices_.end())
                return MCIERR_INVALID_DEVICE_NAME;
            device->second.startedAt = clock_.now();
            return 0;
        }
        case MciCommand::Verb::Open: {
            if (!exists(parsed->target))
                return MCIERR_FILE_NOT_FOUND;
            const std::string name = parsed->alias.empty() ? parsed->target : parsed->alias;
            if (devices_.count(name) != 0)
                return MCIERR_DUPLICATE_ALIAS;
            devices_[name] = Device{parsed->target, std::nullopt};
            return 0;
        }
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

uint32_t RecordingPlatform::mciSendStringA(const char* command, char* /*returnString*/,
                                           uint32_t /*returnLength*/,
                                           uintptr_t /*callbackWindow*/) {
    PlatformCall call{clock_.now(), "mciSendStringA", command, 0, 0, {}};
    call.result = run(command);
    record(call);
    return static_cast<uint32_t>(call.result);
}

int32_t RecordingPlatform::mciExecute(const char* command) {
    PlatformCall call{clock_.now(), "mciExecute", command, 0, 0, {}};
    call.result = run(command) == 0 ? 1 : 0;
    record(call);
    return static_cast<int32_t>(call.result);
}

uint32_t RecordingPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                              uint32_t bufferLength) {
    PlatformCall call{clock_.now(), "GetShortPathNameA", longPath, 0, 0, {}};
    const std::string path = longPath;
    if (exists(path)) {
        if (path.size() + 1 > bufferLength) {
            call.result = static_cast<int64_t>(path.size() + 1);
        } else {
            std::memcpy(shortPath, path.c_str(), path.size() + 1);
            call.result = static_cast<int64_t>(path.size());
            call.shortPath = path;
        }
    }
    record(call);
    return static_cast<uint32_t>(call.result);
}

std::vector<std::string> RecordingPlatform::audible() const {
    std::vector<std::string> sounding;
    const Micros now = clock_.now();
    if (oneShot_ && now < oneShotEnds_)
        sounding.push_back("one-shot " + *oneShot_);
    for (const auto& [name, device] : devices_) {
        if (device.startedAt && now < *device.startedAt + duration(device.path)) {
            sounding.push_back(name);
        }
    }
    return sounding;
}

std::vector<std::string> RecordingPlatform::openDevices() const {
    std::vector<std::string> names;
    for (const auto& entry : devices_)
        names.push_back(entry.first);
    return names;
}

}  // namespace velozor
