// Tests of the winmm back end on the system's own calls (run under Wine by the Wine tests):
// that the game's UTF-8 paths and aliases reach the system whole, what only this back end adds
// (quoting, files with no sound) and which file its boxes name. The program must sit beside a
// sound folder "sonidos", in a folder whose name holds spaces.
#include "sound/winmm/WinmmPlatform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "sound/MusicErrorText.h"
#include "sound/winmm/WideText.h"

namespace velozor {
namespace {

std::string programFolder() {
    wchar_t path[MAX_PATH * 4] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    const std::string text = utf8FromWide(path);
    return text.substr(0, text.find_last_of('\\'));
}

class WinmmPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        platform =
            WinmmPlatform::open(error, Language::English,
                                [this](const std::string& message) { shown.push_back(message); });
        ASSERT_NE(platform, nullptr) << error;
        ASSERT_NE(folder.find(' '), std::string::npos) << "run me from a folder with a space";
    }
    // The short form of `path`, as the game's acortarRuta asks for it.
    std::string shortPath(const std::string& path) {
        char buffer[1024] = "";
        const uint32_t length = platform->GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
        EXPECT_EQ(length, std::string(buffer).size()) << path;
        return buffer;
    }
    uint32_t send(const std::string& command, char* reply = nullptr, uint32_t length = 0) {
        return platform->mciSendStringA(command.c_str(), reply, length, 0);
    }

    // A wave file cut to its 44-byte header: a format, and no frame of sound.
    std::string headerOnlyWave(const std::string& name) {
        const std::string path = folder + "\\" + name;
        std::ofstream(std::filesystem::path(wideFromUtf8(path)), std::ios::binary) << std::string(
            "RIFF$\0\0\0WAVEfmt "
            "\x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0data\0\0\0\0",
            44);
        return path;
    }

    std::unique_ptr<WinmmPlatform> platform;
    std::vector<std::string> shown;  // mciExecute's boxes
    const std::string folder = programFolder();
};

TEST_F(WinmmPlatformTest, ShortPathsOfAccentedFoldersNameTheSameFileAndFollowTheBufferContract) {
    const std::string approach = folder + "\\sonidos\\obstáculos\\obstáculo1\\obstacle16.wav";
    const std::string found = shortPath(approach);
    ASSERT_FALSE(found.empty());
    EXPECT_NE(GetFileAttributesW(wideFromUtf8(found).c_str()), INVALID_FILE_ATTRIBUTES) << found;
    char small[4] = "abc";
    EXPECT_EQ(platform->GetShortPathNameA(approach.c_str(), small, sizeof small), found.size() + 1)
        << "a buffer too small gives the length needed, NUL included";
    EXPECT_STREQ(small, "abc") << "and nothing is written";
}

TEST_F(WinmmPlatformTest, AChannelOpensFromALongPathWithSpacesUnderAnAccentedAlias) {
    const std::string path = folder + "\\sonidos\\obstáculos\\obstáculo1\\obstacle16.wav";
    // The system splits an unquoted path at its spaces: the open below fails without quotes.
    EXPECT_EQ(quotedMciCommand("PLAY " + path, parseMciCommand("PLAY " + path)),
              "PLAY \"" + path + "\"");
    EXPECT_EQ(send("OPEN " + path + " TYPE waveaudio ALIAS obstáculo"), 0u);
    char mode[32] = "";
    EXPECT_EQ(send("STATUS obstáculo MODE", mode, sizeof mode), 0u);
    EXPECT_STREQ(mode, "stopped");
    EXPECT_EQ(send("PLAY obstáculo WAIT"), 0u);
    EXPECT_EQ(platform->mciExecute("Close all"), 1);
    EXPECT_EQ(send("CLOSE obstáculo"), MCIERR_INVALID_DEVICE_NAME) << "Close all closed it";
}

TEST_F(WinmmPlatformTest, OneShotsPlayFromAccentedPathsAndAFileWithNoSoundIsRefusedAndSaidOnce) {
    EXPECT_NE(platform->sndPlaySoundA((folder + "\\sonidos\\menúOtro.wav").c_str(), SND_SYNC), 0);
    const std::string empty = headerOnlyWave("vacío.wav");
    ::testing::internal::CaptureStderr();
    // The default sound plays instead, and the result says so (the system would play silence
    // and report success); a channel's open fails as for a file that cannot be decoded.
    EXPECT_EQ(platform->sndPlaySoundA(empty.c_str(), SND_SYNC), 0);
    EXPECT_EQ(platform->sndPlaySoundA(empty.c_str(), SND_ASYNC), 0);
    EXPECT_EQ(send("OPEN " + empty + " TYPE waveaudio ALIAS vacío"), MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "velozor: sound file " + empty + ": holds no sound after its header\n");
    EXPECT_NE(platform->sndPlaySoundA((folder + "\\sonidos\\motor.wav").c_str(), SND_SYNC), 0)
        << "a good file still plays";
    EXPECT_NE(platform->sndPlaySoundA(nullptr, SND_SYNC), 0);
    DeleteFileW(wideFromUtf8(empty).c_str());
}

TEST_F(WinmmPlatformTest, TheMusicsBoxesNameItsFileByTheLongPathTheGameAskedFor) {
    const std::string missing = folder + "\\sonidos\\no está.mp3";
    char shortPath[MAX_PATH] = "";
    EXPECT_EQ(platform->GetShortPathNameA(missing.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_STREQ(shortPath, "");
    EXPECT_EQ(platform->mciExecute("OPEN "), 0);
    const std::string damaged = headerOnlyWave("dañada.mp3");
    ASSERT_NE(platform->GetShortPathNameA(damaged.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_EQ(platform->mciExecute(("OPEN " + std::string(shortPath)).c_str()), 0);
    DeleteFileW(wideFromUtf8(damaged).c_str());
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  musicOpenFailedText(Language::English, missing, MCIERR_FILE_NOT_FOUND),
                  musicOpenFailedText(Language::English, damaged, MCIERR_CANNOT_LOAD_DRIVER)}));
}

}  // namespace
}  // namespace velozor
