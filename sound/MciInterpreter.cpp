// The command interpreter shared by the sound back ends.
#include "sound/MciInterpreter.h"

#include <cctype>

#include "sound/SoundPlatform.h"

namespace velozor {

namespace {

std::string lowerCased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && lowerCased(text.substr(text.size() - tail.size())) == tail;
}

}  // namespace

uint32_t MciInterpreter::run(const char* command, std::string* detail) {
    if (command == nullptr)
        return MCIERR_MISSING_PARAMETER;
    return run(parseMciCommand(command), detail);
}

uint32_t MciInterpreter::run(const std::optional<MciCommand>& command, std::string* detail) {
    if (!command)
        return MCIERR_UNRECOGNIZED_COMMAND;
    std::string unasked;
    std::string& reason = detail != nullptr ? *detail : unasked;
    switch (command->verb) {
        case MciCommand::Verb::Open:
            return open(*command, reason);
        case MciCommand::Verb::Play:
            return play(lowerCased(command->target), reason);
        case MciCommand::Verb::Close:
            return close(lowerCased(command->target));
        case MciCommand::Verb::CloseAll:
            closeAll();
            return 0;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

uint32_t MciInterpreter::open(const MciCommand& command, std::string& detail) {
    if (command.target.empty())
        return MCIERR_FILE_NOT_FOUND;
    const std::string& name = command.alias.empty() ? command.target : command.alias;
    const std::string key = lowerCased(name);
    if (devices_.count(key) != 0)
        return MCIERR_DUPLICATE_ALIAS;

    // The device type: as named, or else by the file's extension, as the game's music relies on.
    const std::string type = lowerCased(command.type);
    MciDeviceType deviceType = MciDeviceType::Wave;
    if (type.empty()) {
        if (endsWith(command.target, ".mp3"))
            deviceType = MciDeviceType::Music;
    } else if (type == "mpegvideo") {
        deviceType = MciDeviceType::Music;
    } else if (type != "waveaudio") {
        detail = inLanguage(language_, "tipo de dispositivo desconocido {}",
                            "unknown device type {}", {command.type});
        return MCIERR_INVALID_DEVICE_NAME;
    }

    uint32_t error = 0;
    std::unique_ptr<MciDevice> device =
        opener_.openDevice(deviceType, command.target, error, detail);
    if (!device)
        return error;
    devices_.emplace(key, OpenDevice{name, std::move(device)});
    return 0;
}

void MciInterpreter::closeAll() {
    devices_.clear();
}

std::vector<std::pair<std::string, const MciDevice*>> MciInterpreter::openDevices() const {
    std::vector<std::pair<std::string, const MciDevice*>> open;
    for (const auto& entry : devices_)
        open.emplace_back(entry.second.name, entry.second.device.get());
    return open;
}

uint32_t MciInterpreter::play(const std::string& name, std::string& detail) {
    const auto found = devices_.find(name);
    if (found == devices_.end())
        return MCIERR_INVALID_DEVICE_NAME;
    return found->second.device->play(detail);
}

uint32_t MciInterpreter::close(const std::string& name) {
    const auto found = devices_.find(name);
    if (found == devices_.end())
        return MCIERR_INVALID_DEVICE_NAME;
    devices_.erase(found);
    return 0;
}

}  // namespace velozor
