// The recording back end.
#include "sound/recording/RecordingPlatform.h"

#include <cstring>

namespace velozor {

namespace {

// A device of the recorded world: it notes when PLAY started it, and closing it (destroying
// it) ends its sound.
class RecordingDevice final : public MciDevice {
public:
    RecordingDevice(const VirtualClock& clock, std::string path)
        : clock_(clock), path_(std::move(path)) {}

    uint32_t play(std::string& /*detail*/) override {
        startedAt_ = clock_.now();
        return 0;
    }

    const std::string& path() const { return path_; }
    const std::optional<Micros>& startedAt() const { return startedAt_; }

private:
    const VirtualClock& clock_;
    std::string path_;
    std::optional<Micros> startedAt_;
};

}  // namespace

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

std::string RecordingPlatform::nameOf(std::string_view path) const {
    const std::string& folder = files_.programFolder;
    if (path.substr(0, folder.size()) == folder)
        path.remove_prefix(folder.size());
    return std::string(path);
}

bool RecordingPlatform::exists(std::string_view path) const {
    return !path.empty() && files_.missing.count(nameOf(path)) == 0;
}

Micros RecordingPlatform::duration(std::string_view path) const {
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
    PlatformCall call{
        clock_.now(), "sndPlaySoundA", PlatformCall::argumentOf(soundName), flags, 1, {}};
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

std::unique_ptr<MciDevice> RecordingPlatform::openDevice(MciDeviceType /*type*/,
                                                         std::string_view gamePath, uint32_t& error,
                                                         std::string& /*detail*/) {
    if (!exists(gamePath)) {
        error = MCIERR_FILE_NOT_FOUND;
        return nullptr;
    }
    return std::make_unique<RecordingDevice>(clock_, std::string(gamePath));
}

uint32_t RecordingPlatform::mciSendStringA(const char* command, char* /*returnString*/,
                                           uint32_t /*returnLength*/,
                                           uintptr_t /*callbackWindow*/) {
    PlatformCall call{clock_.now(), "mciSendStringA", PlatformCall::argumentOf(command), 0, 0, {}};
    call.result = interpreter_.run(command);
    record(call);
    return static_cast<uint32_t>(call.result);
}

int32_t RecordingPlatform::mciExecute(const char* command) {
    PlatformCall call{clock_.now(), "mciExecute", PlatformCall::argumentOf(command), 0, 0, {}};
    call.result = interpreter_.run(command) == 0 ? 1 : 0;
    record(call);
    return static_cast<int32_t>(call.result);
}

uint32_t RecordingPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                              uint32_t bufferLength) {
    PlatformCall call{
        clock_.now(), "GetShortPathNameA", PlatformCall::argumentOf(longPath), 0, 0, {}};
    const std::string path = PlatformCall::argumentOf(longPath);
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
    for (const auto& [name, opened] : interpreter_.openDevices()) {
        // Every device was opened by openDevice above.
        const auto& device = static_cast<const RecordingDevice&>(*opened);
        if (device.startedAt() && now < *device.startedAt() + duration(device.path()))
            sounding.push_back(name);
    }
    return sounding;
}

std::vector<std::string> RecordingPlatform::openDevices() const {
    std::vector<std::string> names;
    for (const auto& entry : interpreter_.openDevices())
        names.push_back(entry.first);
    return names;
}

}  // namespace velozor
