// The web back end's answers, on a stand-in for the page's audio engine.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sound/MusicErrorText.h"
#include "sound/recording/VirtualClock.h"
#include "sound/web/WebPlatform.h"

namespace velozor {
namespace {

// Files the page knows, by URL; any other is still loading, and turns out missing at the first
// pause after it was asked for.
class StandInAudio final : public BrowserAudio {
public:
    std::map<std::string, SoundFileState> files;
    std::vector<std::string> oneShots;  // what each one-shot played; "" the default tone

    SoundFileState fileState(const std::string& url) override {
        return files.emplace(url, SoundFileState::Loading).first->second;
    }
    int playOneShot(const std::string& url) override {
        oneShots.push_back(url);
        return 0;
    }
    void stopOneShot() override {}
    bool oneShotSounding(int) override { return false; }
    int openVoice(MciDeviceType, const std::string&) override { return 0; }
    void playVoice(int) override {}
    void closeVoice(int) override {}
    double renderedSeconds() override { return 0; }
    void pause(int) override {
        for (auto& file : files) {
            if (file.second == SoundFileState::Loading)
                file.second = SoundFileState::Missing;
        }
    }
};

TEST(SoundUrl, MapsGamePathsIntoTheFolderAndRefusesTheRest) {
    const struct {
        const char* gamePath;
        std::optional<std::string> url;
    } cases[] = {
        {".\\sonidos\\intro\\arch 1.wav", "sonidos/intro/arch%201.flac"},
        {".\\sonidos\\obstáculos\\o1.WAV", "sonidos/obst%C3%A1culos/o1.flac"},
        {".\\sonidos\\fondo.mp3", "sonidos/fondo.mp3"},
        {".\\otros\\motor.wav", std::nullopt},
        {".\\sonidos\\..\\velozor.wasm", std::nullopt},
        {"\\sonidos\\motor.wav", std::nullopt},  // not under the program folder
    };
    for (const auto& c : cases) {
        const auto name = soundFileName(c.gamePath, ".", ".flac");
        const auto url = name ? std::optional(soundFileUrl("sonidos", *name)) : std::nullopt;
        EXPECT_EQ(url, c.url) << c.gamePath;
    }
}

struct WebPlatformTest : ::testing::Test {
    StandInAudio audio;
    VirtualClock clock;
    std::vector<std::string> shown;
    WebPlatform platform{audio,
                         clock,
                         ".",
                         {"sonidos", ".flac"},
                         Language::English,
                         [this](const std::string& message) { shown.push_back(message); }};
};

TEST_F(WebPlatformTest, AFileThatCannotPlayGivesTheDefaultToneOrTheCommandsError) {
    audio.files = {{"sonidos/roto.flac", SoundFileState::Damaged},
                   {"sonidos/falta.flac", SoundFileState::Missing}};
    EXPECT_EQ(platform.sndPlaySoundA(".\\sonidos\\roto.wav", SND_ASYNC), 0);
    // A synchronous sound waits for its file to settle (here: missing) before it answers.
    EXPECT_EQ(platform.sndPlaySoundA(".\\sonidos\\arch 1.wav", SND_SYNC), 0);
    EXPECT_EQ(platform.sndPlaySoundA(".\\sonidos\\cargando.wav", SND_ASYNC), 1);
    EXPECT_EQ(audio.oneShots, (std::vector<std::string>{"", "", "sonidos/cargando.flac"}));

    char noReply[1] = "";
    EXPECT_EQ(
        platform.mciSendStringA("OPEN sonidos/roto.flac TYPE waveaudio ALIAS motor", noReply, 0, 0),
        MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(platform.mciSendStringA("OPEN sonidos/falta.flac TYPE waveaudio ALIAS motor", noReply,
                                      0, 0),
              MCIERR_FILE_NOT_FOUND);
}

TEST_F(WebPlatformTest, ShortPathsAreUrlsAndAMissingMusicIsNamedInBothMessages) {
    char shortPath[64] = "";
    EXPECT_EQ(platform.GetShortPathNameA(".\\sonidos\\menúOtro.wav", shortPath, 5), 27u);
    EXPECT_STREQ(shortPath, "");  // too small: the length needed, nothing written
    EXPECT_EQ(platform.GetShortPathNameA(".\\sonidos\\menúOtro.wav", shortPath, 64), 26u);
    EXPECT_STREQ(shortPath, "sonidos/men%C3%BAOtro.flac");

    audio.files = {{"sonidos/fondo.mp3", SoundFileState::Missing}};
    EXPECT_EQ(platform.GetShortPathNameA(".\\sonidos\\fondo.mp3", shortPath, 64), 0u);
    EXPECT_EQ(platform.mciExecute("OPEN "), 0);
    EXPECT_EQ(platform.mciExecute("PLAY "), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0],
              musicOpenFailedText(Language::English, "sonidos/fondo.mp3", MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(shown[1], musicPlayAfterFailedOpenText(Language::English, "sonidos/fondo.mp3"));
}

}  // namespace
}  // namespace velozor
