// The command interpreter's rules, on a back end of the test's own that writes down what the
// interpreter asks of it.
#include "sound/MciInterpreter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sound/SoundPlatform.h"

namespace velozor {
namespace {

// A device that notes "play PATH" when played and "close PATH" when destroyed.
struct NotedDevice final : MciDevice {
    NotedDevice(std::vector<std::string>& notes, std::string path) : notes(notes), path(path) {}
    ~NotedDevice() override { notes.push_back("close " + path); }
    uint32_t play(std::string&) override {
        notes.push_back("play " + path);
        return 0;
    }
    std::vector<std::string>& notes;
    std::string path;
};

// Opens every path except those holding "falta", noting "open wave|music PATH".
struct NotingOpener final : MciDeviceOpener {
    std::unique_ptr<MciDevice> openDevice(MciDeviceType type, std::string_view path,
                                          uint32_t& error, std::string& detail) override {
        if (path.find("falta") != std::string_view::npos) {
            error = MCIERR_FILE_NOT_FOUND;
            detail = "no such file";
            return nullptr;
        }
        notes.push_back((type == MciDeviceType::Music ? "open music " : "open wave ") +
                        std::string(path));
        return std::make_unique<NotedDevice>(notes, std::string(path));
    }
    std::vector<std::string> notes;
};

// Each rule's commands with the answer expected, what the back end was asked for (in any order)
// and which names are open after them.
TEST(MciInterpreterTest, EachRuleAnswersWithItsCodeAndAsksTheBackEndOnlyWhatItMust) {
    using Commands = std::vector<std::pair<std::string, uint32_t>>;
    using Names = std::vector<std::string>;
    const struct {
        const char* rule;
        Commands commands;
        Names notes, open;
    } rules[] = {
        // clang-format off
        {"TYPE chooses the device, whatever the extension",
         {{"OPEN /s/a.mp3 TYPE waveaudio ALIAS a", 0}, {"open /s/b.wav type MPEGVideo alias b", 0}},
         {"open wave /s/a.mp3", "open music /s/b.wav"}, {"a", "b"}},
        {"without TYPE the extension chooses",
         {{"OPEN /s/fondo.MP3", 0}, {"OPEN /s/a.wav ALIAS a", 0}},
         {"open music /s/fondo.MP3", "open wave /s/a.wav"}, {"/s/fondo.MP3", "a"}},
        {"an unknown TYPE opens nothing", {{"OPEN /s/a.wav TYPE cdaudio ALIAS a", 263}}, {}, {}},
        {"a name already open keeps its first device", {{"OPEN /s/a.wav TYPE waveaudio ALIAS m", 0},
          {"OPEN /s/b.wav TYPE waveaudio ALIAS M", 289}, {"PLAY m", 0}},
         {"open wave /s/a.wav", "play /s/a.wav"}, {"m"}},
        {"names are case-insensitive and kept as first opened",
         {{"OPEN /s/a.wav TYPE waveaudio ALIAS Obst", 0}, {"PLAY OBST", 0},
          {"OPEN /S/Fondo.mp3", 0}, {"PLAY /s/fondo.MP3", 0}, {"close obst", 0}},
         {"open wave /s/a.wav", "play /s/a.wav", "open music /S/Fondo.mp3", "play /S/Fondo.mp3",
          "close /s/a.wav"}, {"/S/Fondo.mp3"}},
        {"close and play of a device not open",
         {{"CLOSE motor", 263}, {"PLAY motor", 263}}, {}, {}},
        {"a missing file", {{"OPEN /s/falta.wav TYPE waveaudio ALIAS m", 275}}, {}, {}},
        {"an empty OPEN target is a file not found, not asked for",
         {{"OPEN  TYPE waveaudio ALIAS motor", 275}, {"OPEN ", 275}}, {}, {}},
        {"ALIAS or TYPE with no word after it",
         {{"OPEN /s/a.wav TYPE waveaudio ALIAS", 261}, {"OPEN /s/a.wav TYPE ALIAS m", 261}},
         {}, {}},
        {"an unknown command", {{"SEEK motor TO START", 261}}, {}, {}},
        {"Close all closes everything, and the names open again",
         {{"OPEN /s/a.wav TYPE waveaudio ALIAS a", 0}, {"OPEN /s/fondo.mp3", 0}, {"Close all", 0},
          {"CLOSE a", 263}, {"OPEN /s/fondo.mp3", 0}},
         {"open wave /s/a.wav", "open music /s/fondo.mp3", "close /s/a.wav", "close /s/fondo.mp3",
          "open music /s/fondo.mp3"}, {"/s/fondo.mp3"}},
        // clang-format on
    };
    for (const auto& rule : rules) {
        SCOPED_TRACE(rule.rule);
        NotingOpener opener;
        MciInterpreter interpreter(opener);
        for (const auto& [command, answer] : rule.commands)
            EXPECT_EQ(interpreter.run(command.c_str()), answer) << command;
        Names notes = rule.notes;
        std::sort(notes.begin(), notes.end());
        std::sort(opener.notes.begin(), opener.notes.end());
        EXPECT_EQ(opener.notes, notes);
        Names open;
        for (const auto& device : interpreter.openDevices())
            open.push_back(device.first);
        EXPECT_EQ(open, rule.open);
    }
    // A null command is a missing parameter; a failure's reason reaches the caller.
    NotingOpener opener;
    MciInterpreter interpreter(opener);
    EXPECT_EQ(interpreter.run(static_cast<const char*>(nullptr)), MCIERR_MISSING_PARAMETER);
    std::string detail;
    EXPECT_EQ(interpreter.run("OPEN /s/falta.wav", &detail), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(detail, "no such file");
    EXPECT_EQ(interpreter.run("OPEN /s/a.wav TYPE cdaudio", &detail), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(detail, "tipo de dispositivo desconocido cdaudio");
}

}  // namespace
}  // namespace velozor
