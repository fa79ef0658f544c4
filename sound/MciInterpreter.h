// Carries out the game's channel and music commands ("OPEN p TYPE waveaudio ALIAS a", "PLAY a",
// "CLOSE a", "Close all") on the devices a back end opens, and answers with the command
// interface's result codes. It knows no sound library: the mixer, web and recording back ends
// run it, so they read the commands alike and each only opens and plays a device (the winmm
// back end hands the commands to the system's own interpreter instead).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Language.h"
#include "sound/MciCommand.h"

namespace velozor {

enum class MciDeviceType {
    Wave,   // a wave file on a channel of its own
    Music,  // the one music stream
};

// One open device of a back end. Destroying it closes it: its sound stops before the
// destructor returns, and whatever it held (a channel, decoded samples) goes back.
class MciDevice {
public:
    virtual ~MciDevice() = default;

    // Starts the device's sound from its beginning, once. Returns 0, or an MciError with
    // `detail` set to the back end's own reason.
    virtual uint32_t play(std::string& detail) = 0;
};

// What a back end does for the interpreter: open a file as a device.
class MciDeviceOpener {
public:
    virtual ~MciDeviceOpener() = default;

    // Opens `gamePath` (as the game wrote it, backslashes and all) as a device of `type`.
    // Returns nullptr on failure, with `error` set to MCIERR_FILE_NOT_FOUND when no such file
    // exists or to another MciError when it cannot be played, and `detail` to the reason.
    virtual std::unique_ptr<MciDevice> openDevice(MciDeviceType type, std::string_view gamePath,
                                                  uint32_t& error, std::string& detail) = 0;
};

class MciInterpreter {
public:
    // `opener` must outlive the interpreter; its own reasons are in `language`.
    explicit MciInterpreter(MciDeviceOpener& opener, Language language = Language::Spanish)
        : opener_(opener), language_(language) {}

    // Runs one command. Device names (aliases, or the path the music was opened under) are
    // case-insensitive. Returns 0 on success or an MciError; the back end's reason for a
    // failure goes to `detail` when one is given. A null command is MCIERR_MISSING_PARAMETER.
    uint32_t run(const char* command, std::string* detail = nullptr);
    // The same for a command parsed already: nullopt (a command the parser does not know) is
    // MCIERR_UNRECOGNIZED_COMMAND.
    uint32_t run(const std::optional<MciCommand>& command, std::string* detail = nullptr);

    // Closes every open device, as "Close all" does.
    void closeAll();

    // The open devices, by name as first opened (an alias, or the music's path), in the order
    // of their lower-cased names.
    std::vector<std::pair<std::string, const MciDevice*>> openDevices() const;

private:
    struct OpenDevice {
        std::string name;  // as opened
        std::unique_ptr<MciDevice> device;
    };

    uint32_t open(const MciCommand& command, std::string& detail);
    uint32_t play(const std::string& name, std::string& detail);
    uint32_t close(const std::string& name);

    MciDeviceOpener& opener_;
    Language language_;
    std::map<std::string, OpenDevice> devices_;  // by lower-cased name
};

}  // namespace velozor
