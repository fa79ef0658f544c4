// Tests of the winmm back end on the system's own calls (run under Wine by the Wine tests):
// what each call returns, and that the game's UTF-8 paths and aliases reach the system whole.
// The program must sit beside a sound folder "sonidos", in a folder whose name holds spaces.
#include "sound/winmm/WinmmPlatform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
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
        platform = WinmmPlatform::open(
            error, [this](const std::string& message) { shown.push_back(message); });
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

    // A wave file cut to its 44-byte header: a format, and no frame of sound.
    std::string headerOnlyWave(const std::string& name) {
        const std::string path = folder + "\\" + name;
        const unsigned char header[44] = {'R', 'I', 'F',  'F',  36,  0,   0,    0,    'W', 'A', 'V',
                                          'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                                          1,   0,   0x44, 0xAC, 0,   0,   0x88, 0x58, 1,   0,   2,
                                          0,   16,  0,    'd',  'a', 't', 'a',  0,    0,   0,   0};
        std::FILE* file = _wfopen(wideFromUtf8(path).c_str(), L"wb");
        EXPECT_NE(file, nullptr) << path;
        if (file != nullptr) {
            std::fwrite(header, 1, sizeof header, file);
            std::fclose(file);
        }
        return path;
    }

    std::unique_ptr<WinmmPlatform> platform;
    std::vector<std::string> shown;  // mciExecute's boxes
    const std::string folder = programFolder();
};

TEST_F(WinmmPlatformTest, ShortPathsOfAccentedFoldersNameTheSameFileAndMissingOnesFail) {
    const std::string approach = folder + "\\sonidos\\obstáculos\\obstáculo1\\obstacle16.wav";
    const std::string found = shortPath(approach);
    ASSERT_FALSE(found.empty());
    EXPECT_NE(GetFileAttributesW(wideFromUtf8(found).c_str()), INVALID_FILE_ATTRIBUTES) << found;

    char small[4] = "abc";
    EXPECT_EQ(platform->GetShortPathNameA(approach.c_str(), small, sizeof small), found.size() + 1)
        << "a buffer too small gives the length needed, NUL included";
    EXPECT_STREQ(small, "abc") << "and nothing is written";

    char none[16] = "";
    EXPECT_EQ(platform->GetShortPathNameA((folder + "\\sonidos\\nada.wav").c_str(), none, 16), 0u);
    EXPECT_STREQ(none, "");
}

TEST_F(WinmmPlatformTest, AChannelUnderAnAccentedAliasOpensPlaysAndCloses) {
    const std::string open =
        "OPEN " + shortPath(folder + "\\sonidos\\obstáculos\\obstáculo1\\obstacle16.wav") +
        " TYPE waveaudio ALIAS obstáculo";
    EXPECT_EQ(platform->mciSendStringA("CLOSE obstáculo", nullptr, 0, 0),
              MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(platform->mciSendStringA(open.c_str(), nullptr, 0, 0), 0u);
    EXPECT_EQ(platform->mciSendStringA(open.c_str(), nullptr, 0, 0), MCIERR_DUPLICATE_ALIAS);
    char mode[32] = "";
    EXPECT_EQ(platform->mciSendStringA("STATUS obstáculo MODE", mode, sizeof mode, 0), 0u);
    EXPECT_STREQ(mode, "stopped");
    EXPECT_EQ(platform->mciSendStringA("PLAY obstáculo WAIT", nullptr, 0, 0), 0u);
    EXPECT_EQ(platform->mciSendStringA("CLOSE obstáculo", nullptr, 0, 0), 0u);
    // A closed alias is an error (Wine answers 281: it tries to open the name as a file).
    EXPECT_NE(platform->mciSendStringA("PLAY obstáculo", nullptr, 0, 0), 0u) << "it is closed";
}

TEST_F(WinmmPlatformTest, ALongPathWithSpacesIsQuotedSoItsOpenStillWorks) {
    const std::string path = folder + "\\sonidos\\motor.wav";
    EXPECT_EQ(quotedMciCommand("OPEN " + path + " TYPE waveaudio ALIAS motor"),
              "OPEN \"" + path + "\" TYPE waveaudio ALIAS motor");
    EXPECT_EQ(quotedMciCommand("PLAY motor WAIT"), "PLAY motor WAIT");
    EXPECT_EQ(quotedMciCommand("PLAY " + path), "PLAY \"" + path + "\"");
    EXPECT_EQ(platform->mciSendStringA(("OPEN " + path + " TYPE waveaudio ALIAS motor").c_str(),
                                       nullptr, 0, 0),
              0u);
    EXPECT_EQ(platform->mciSendStringA("PLAY motor WAIT", nullptr, 0, 0), 0u);
    EXPECT_EQ(platform->mciExecute("Close all"), 1);
    EXPECT_EQ(platform->mciSendStringA("CLOSE motor", nullptr, 0, 0), MCIERR_INVALID_DEVICE_NAME)
        << "Close all closed it";
}

TEST_F(WinmmPlatformTest, OneShotsPlayFromAccentedPathsAndStop) {
    EXPECT_NE(platform->sndPlaySoundA((folder + "\\sonidos\\menúOtro.wav").c_str(), SND_SYNC), 0);
    EXPECT_NE(platform->sndPlaySoundA(nullptr, SND_SYNC), 0);
}

TEST_F(WinmmPlatformTest, AFileWithNoSoundIsRefusedAsAMissingOneAndSaidOnce) {
    const std::string empty = headerOnlyWave("vacío.wav");
    ::testing::internal::CaptureStderr();
    // The default sound plays instead, and the result says so (the system would play silence
    // and report success).
    EXPECT_EQ(platform->sndPlaySoundA(empty.c_str(), SND_SYNC), 0);
    EXPECT_EQ(platform->sndPlaySoundA(empty.c_str(), SND_ASYNC), 0);
    EXPECT_EQ(platform->mciSendStringA(("OPEN " + empty + " TYPE waveaudio ALIAS vacío").c_str(),
                                       nullptr, 0, 0),
              MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "velozor: sound file " + empty + ": holds no sound after its header\n");
    EXPECT_EQ(platform->mciSendStringA("CLOSE vacío", nullptr, 0, 0), MCIERR_INVALID_DEVICE_NAME)
        << "nothing was opened";
    EXPECT_NE(platform->sndPlaySoundA((folder + "\\sonidos\\motor.wav").c_str(), SND_ASYNC), 0)
        << "a good file still plays";
    platform->silence();
    DeleteFileW(wideFromUtf8(empty).c_str());
}

TEST_F(WinmmPlatformTest, TheMusicsBoxesNameItsFileInSpanishAndThePlaySaysItFollowsTheOpen) {
    const std::string missing = folder + "\\sonidos\\no está.mp3";
    char shortPath[MAX_PATH] = "";
    EXPECT_EQ(platform->GetShortPathNameA(missing.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_EQ(platform->mciExecute("OPEN "), 0);
    EXPECT_EQ(platform->mciExecute("PLAY "), 0);
    const std::string damaged = headerOnlyWave("dañada.mp3");
    ASSERT_NE(platform->GetShortPathNameA(damaged.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_EQ(platform->mciExecute(("OPEN " + std::string(shortPath)).c_str()), 0);
    EXPECT_EQ(platform->mciExecute("CLOSE nada"), 0);
    DeleteFileW(wideFromUtf8(damaged).c_str());

    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], musicOpenFailedText(missing, MCIERR_FILE_NOT_FOUND)) << shown[0];
    EXPECT_EQ(shown[1], musicPlayAfterFailedOpenText(missing));
    EXPECT_EQ(shown[2], musicOpenFailedText(damaged, MCIERR_CANNOT_LOAD_DRIVER)) << shown[2];
    EXPECT_EQ(shown[3].rfind("Falló la orden de sonido «CLOSE nada» (error ", 0), 0u) << shown[3];
}

}  // namespace
}  // namespace velozor
